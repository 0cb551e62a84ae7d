// Placeholder entry point until the start-up lands.
int main() { return 0; }
