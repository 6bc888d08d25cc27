/* A launch list entry for the reaction figures: appends "NAME SECONDS" (the wall clock, as
 * bash's EPOCHREALTIME gives it) to FILE. Usage: stamp FILE NAME
 * On x86-64 it is built without the C library: no dynamic loader and no start-up code run
 * before it reads the clock, so the figure ends at the exec itself. */
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <time.h>

#if defined(__x86_64__) && defined(STAMP_BARE)

static long call(long number, long a, long b, long c)
{
    long result;
    __asm__ volatile("syscall"
                     : "=a"(result)
                     : "a"(number), "D"(a), "S"(b), "d"(c)
                     : "rcx", "r11", "memory");
    return result;
}

/* Digits of value, at least `width` of them, ending just before `end`; returns the first. */
static char *digits(char *end, unsigned long long value, int width)
{
    do {
        *--end = (char)('0' + value % 10);
        value /= 10;
    } while (--width > 0 || value);
    return end;
}

__attribute__((used)) static void stamp(long *stack)
{
    struct timespec t;
    call(SYS_clock_gettime, CLOCK_REALTIME, (long)&t, 0);
    const long argc = stack[0];
    char **argv = (char **)(stack + 1);
    int status = 2;
    if (argc >= 3) {
        char number[48];
        char *end = number + sizeof number;
        *--end = '\n';
        char *start = digits(end, (unsigned long long)(t.tv_nsec / 1000), 6);
        *--start = '.';
        start = digits(start, (unsigned long long)t.tv_sec, 1);
        *--start = ' ';
        long length = 0;
        while (argv[2][length])
            ++length;
        /* One writev: appended whole, as one write would be. */
        const struct iovec parts[2]
            = {{argv[2], (size_t)length}, {start, (size_t)(number + sizeof number - start)}};
        const long size = parts[0].iov_len + parts[1].iov_len;
        const long fd = call(SYS_open, (long)argv[1], O_WRONLY | O_APPEND | O_CREAT, 0644);
        status = fd >= 0 && call(SYS_writev, fd, (long)parts, 2) == size ? 0 : 1;
        if (fd >= 0 && call(SYS_close, fd, 0, 0) != 0)
            status = 1;
    }
    call(SYS_exit_group, status, 0, 0);
}

__asm__(".text\n.globl _start\n_start:\n\txor %ebp, %ebp\n\tmov %rsp, %rdi\n"
        "\tand $-16, %rsp\n\tcall stamp\n\thlt\n");

#else

#include <stdio.h>

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

#endif
