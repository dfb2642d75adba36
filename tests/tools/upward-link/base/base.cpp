// A lower layer that calls a function of a higher one without including its header:
// only the link shows the dependency.
int Top();

int Upward() { return Top() + 1; }
