#!/usr/bin/env python3
"""vellumar-cli watch measured: the latency from a file saved in a watched folder to its
update being committed (a loop of changes in an index of many folders), the CPU time of
the idle watcher, and a burst of file creations in one folder.

Usage: watch.py CLI WORKDIR [FOLDERS] [CHANGES] [IDLE_SECONDS] [BURST]
"""
import os, shutil, signal, statistics, subprocess, sys, time

cli, work = sys.argv[1], sys.argv[2]
folders = int(sys.argv[3]) if len(sys.argv) > 3 else 50000
changes = int(sys.argv[4]) if len(sys.argv) > 4 else 50
idle = float(sys.argv[5]) if len(sys.argv) > 5 else 600
burst = int(sys.argv[6]) if len(sys.argv) > 6 else 10000

home, tree, out = f"{work}/home", f"{work}/tree", f"{work}/watch.out"
shutil.rmtree(work, ignore_errors=True)
os.makedirs(tree)
# 250 folders of 200 subfolders each; a file in every 100th folder.
per = 200
made = 0
for a in range((folders + per - 1) // per):
    for b in range(min(per, folders - made)):
        d = f"{tree}/d{a:03}/e{b:03}"
        os.makedirs(d)
        if made % 100 == 0:
            with open(f"{d}/f.txt", "w") as f:
                f.write(f"seed word{made}\n")
        made += 1
t0 = time.time()
subprocess.run([cli, "--home", home, "create", "tree", f"{tree}/+<*.txt>", "--auto-update"],
               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(f"{made} folders; index created in {time.time() - t0:.1f} s")

log = open(out, "w")
watcher = subprocess.Popen([cli, "--home", home, "watch"], stdout=log, stderr=subprocess.DEVNULL)

def output():
    with open(out) as f:
        return f.read()

def wait_for(predicate, timeout=120):
    start = time.time()
    while time.time() - start < timeout:
        text = output()
        if predicate(text):
            return text
        time.sleep(0.005)
    raise SystemExit("timed out; output:\n" + output()[-2000:])

t0 = time.time()
wait_for(lambda t: 'Watching "tree"' in t, 600)
print(f"start-up update and watching: {time.time() - t0:.1f} s")

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

# Latency: a file saved in a folder until the watcher's line for that folder.
latencies = []
for i in range(changes):
    d = f"{tree}/d{(i * 37) % (folders // per):03}/e{(i * 11) % per:03}"
    before = output().count("\n")
    start = time.time()
    with open(f"{d}/change{i}.txt", "w") as f:
        f.write(f"latency{i}\n")
    wait_for(lambda t: any(l.split("\t")[1:2] == [d] for l in t.splitlines()[before:]), 60)
    latencies.append(time.time() - start)
lat = sorted(latencies)
print(f"latency over {changes} changes: median {statistics.median(lat) * 1000:.0f} ms, "
      f"worst {lat[-1] * 1000:.0f} ms")

# Idle: no changes at all.
c0 = cpu_seconds(watcher.pid)
time.sleep(idle)
c1 = cpu_seconds(watcher.pid)
print(f"idle CPU over {idle:.0f} s with {made} folders watched: {c1 - c0:.2f} s")

# A burst of creations in one folder.
d = f"{tree}/d000/e001"
before = output().count("\n")
start = time.time()
for i in range(burst):
    with open(f"{d}/burst{i}.txt", "w") as f:
        f.write(f"burst{i}\n")
def burst_done(t):
    lines = [l for l in t.splitlines()[before:] if l.split("\t")[1:2] == [d]]
    return sum(int(l.split("\t")[2].split()[0]) for l in lines) >= burst
text = wait_for(burst_done, 600)
lines = [l for l in text.splitlines()[before:] if l.split("\t")[1:2] == [d]]
print(f"burst of {burst} files in one folder: {len(lines)} updates, all indexed "
      f"{time.time() - start:.1f} s after the first file")

watcher.send_signal(signal.SIGTERM)
print(f"watcher ended with status {watcher.wait(30)} after SIGTERM")
