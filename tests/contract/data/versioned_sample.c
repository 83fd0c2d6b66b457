/* A program that exists only to carry versioned_sample.rc. */
int main(void) { return 0; }
