// Placeholder until the checker lands: it only states how it is called.
#include <stdio.h>

int main() {
    fputs("usage: novracheck SAVER.scr\n", stderr);
    return 2;
}
