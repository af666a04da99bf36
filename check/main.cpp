/* Placeholder until the checks land. */
#include <stdio.h>

int main(int argc, char **argv)
{
    (void)argv;
    if (argc != 2) {
        fprintf(stderr, "usage: novracheck [--json] SAVER.scr\n");
        return 2;
    }
    return 2;
}
