/* The smallest 32-bit Windows program: it only answers 32, so that a start that Wine
   could not make is not taken for a run. */
int main(void) { return 32; }
