// vb6-nulo: a compiler that does nothing and succeeds at once, so that the
// batch benchmark measures the batch itself. It writes no log, which the
// batch takes as a successful build.
int main() { return 0; }
