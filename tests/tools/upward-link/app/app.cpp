int Top() { return 1; }
