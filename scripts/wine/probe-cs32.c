/* Exits with 0 when a 64-bit process may switch to a 32-bit code segment and
   back, which is what Wine's WoW64 mode does for every 32-bit Windows call.
   Some CPUs and kernels (ia32_emulation=false) refuse the 32-bit segment: the
   far jump then faults, and the probe exits with 1. */
#define _GNU_SOURCE
#include <setjmp.h>
#include <signal.h>
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

static sigjmp_buf refused;

static void onFault(int signal)
{
    (void)signal;
    siglongjmp(refused, 1);
}

int main(void)
{
    /* 32-bit far pointers reach only the low 4 GiB. */
    uint8_t *page = mmap(NULL, 4096, PROT_READ | PROT_WRITE | PROT_EXEC,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (page == MAP_FAILED)
        return 2;
    const uint32_t base = (uint32_t)(uintptr_t)page;
    const uint32_t code32 = base + 16, back64 = base + 32;
    /* 64-bit: jmp far [rip+0] through the m16:32 pointer that follows. */
    const uint8_t enter[] = {0xff, 0x2d, 0, 0, 0, 0,
                             code32 & 0xff, code32 >> 8 & 0xff, code32 >> 16 & 0xff, code32 >> 24, 0x23, 0};
    /* 32-bit: jmp far 0x33:back64, the 64-bit user code segment. */
    const uint8_t leave[] = {0xea, back64 & 0xff, back64 >> 8 & 0xff, back64 >> 16 & 0xff, back64 >> 24, 0x33, 0};
    memcpy(page, enter, sizeof enter);
    memcpy(page + 16, leave, sizeof leave);
    page[32] = 0xc3; /* ret: back to the caller's stack frame */

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = onFault;
    sigaction(SIGSEGV, &action, NULL);
    sigaction(SIGBUS, &action, NULL);
    sigaction(SIGILL, &action, NULL);
    if (sigsetjmp(refused, 1))
        return 1;
    alarm(5);
    ((void (*)(void))page)();
    return 0;
}
