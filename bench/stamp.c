/* A launch list entry for the reaction figures: appends "NAME SECONDS" (the wall clock, as
 * bash's EPOCHREALTIME gives it) to FILE. Usage: stamp FILE NAME */
#include <stdio.h>
#include <time.h>

int main(int argc, char **argv)
{
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    if (argc < 3)
        return 2;
    FILE *log = fopen(argv[1], "a");
    if (!log)
        return 1;
    fprintf(log, "%s %lld.%06ld\n", argv[2], (long long)t.tv_sec, t.tv_nsec / 1000);
    return fclose(log) == 0 ? 0 : 1;
}
