// Program start; the main window arrives with the application shell.
int main() { return 0; }
