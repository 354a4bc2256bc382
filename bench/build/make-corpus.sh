#!/usr/bin/env bash
# Builds the benchmark corpus of real documents from Debian documentation packages:
# HTML manuals, plain text, and PDF, RTF, .doc, .docx and .odt files converted from
# real manual pages with LibreOffice. Usage: make-corpus.sh CORPUS_DIR
# Idempotent: an existing corpus (with its .complete mark) is left alone.
set -euo pipefail
corpus=${1:?usage: make-corpus.sh CORPUS_DIR}
[ -f "$corpus/.complete" ] && exit 0

source "$(dirname "$0")/../env.sh"
bench_install "the documents of the corpus, and LibreOffice to convert some of them" \
  python3-doc postgresql-doc-15 debian-reference-en perl-doc libreoffice-writer-nogui

rm -rf "$corpus"
mkdir -p "$corpus"/{html,text,office}
cp -rL /usr/share/doc/python3-doc/html "$corpus/html/python"
cp -rL /usr/share/doc/postgresql-doc-15/html "$corpus/html/postgresql"
cp -rL /usr/share/doc/debian-reference-en "$corpus/html/debian-reference"
find "$corpus/html" -name '*.gz' -exec gunzip -f {} +

# Plain text: Perl's manual pages (pod is plain text) and the packages' change logs.
mkdir -p "$corpus/text/perl" "$corpus/text/changelogs"
find /usr/share/perl /usr/lib/x86_64-linux-gnu/perl -name '*.pod' 2>/dev/null | head -2000 |
  while read -r f; do cp "$f" "$corpus/text/perl/$(basename "$(dirname "$f")")-$(basename "$f" .pod).txt"; done
find /usr/share/doc -name 'changelog*.gz' | head -1500 | while read -r f; do
  pkg=$(basename "$(dirname "$f")")
  gunzip -c "$f" > "$corpus/text/changelogs/$pkg-$(basename "$f" .gz).txt" 2>/dev/null || true
done

# Office formats from the text of real manual pages, converted by LibreOffice.
python3 - "$corpus" <<'PY'
import html.parser, os, sys, glob
corpus = sys.argv[1]
class Text(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(); self.out = []; self.skip = 0
    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style"): self.skip += 1
    def handle_endtag(self, tag):
        if tag in ("script", "style") and self.skip: self.skip -= 1
        if tag in ("p", "div", "li", "h1", "h2", "h3", "pre", "tr"): self.out.append("\n")
    def handle_data(self, data):
        if not self.skip: self.out.append(data)
pages = sorted(glob.glob(os.path.join(corpus, "html/python/library/*.html")))[:300]
os.makedirs(os.path.join(corpus, "office/src"), exist_ok=True)
for page in pages:
    p = Text(); p.feed(open(page, encoding="utf-8", errors="replace").read())
    text = "".join(p.out)
    name = os.path.splitext(os.path.basename(page))[0]
    open(os.path.join(corpus, "office/src", name + ".txt"), "w").write(text)
PY
formats=(pdf rtf doc docx odt)
for k in "${!formats[@]}"; do
  ext=${formats[$k]}
  batch=()
  i=0
  for f in "$corpus"/office/src/*.txt; do
    [ $((i % ${#formats[@]})) -eq "$k" ] && batch+=("$f")
    i=$((i + 1))
  done
  filter=$ext
  [ "$ext" = pdf ] && filter=pdf:writer_pdf_Export
  timeout 1800 soffice --headless --convert-to "$filter" --outdir "$corpus/office" "${batch[@]}" >/dev/null 2>&1 || true
done
rm -rf "$corpus/office/src"
touch "$corpus/.complete"
du -sh "$corpus"
