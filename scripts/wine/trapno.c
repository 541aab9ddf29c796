/* Preloaded into the 32-bit programs of the classic Wine root when they run
   under qemu-i386. The emulator delivers fault signals with the trap number
   of the signal context at -1, and 32-bit Wine reads that number to tell an
   access violation from an illegal instruction: every page fault would become
   an illegal instruction, a stack overflow would kill the process silently.
   This sigaction fills the number in from the signal's code before the
   program's own handler runs; with a real trap number nothing is changed.

   Built with -m32 -nostdlib -shared: no C library, system calls directly. */

enum { kSigTrap = 5, kSigBus = 7, kSigFpe = 8, kSigSegv = 11, kSignals = 65 };
enum { kSaSigInfo = 4, kSaRestorer = 0x04000000 };
enum { kSysRtSigaction = 174 };
enum { kTrapDivide = 0, kTrapDebug = 1, kTrapBreakpoint = 3, kTrapOverflow = 4, kTrapProtection = 13,
       kTrapPage = 14, kTrapFpu = 16, kTrapAlignment = 17 };
/* Byte offset of gregs[REG_TRAPNO] in the i386 ucontext_t: uc_flags, uc_link,
   uc_stack (12 bytes), then the general registers, the trap number the 13th. */
enum { kTrapNoOffset = 20 + 12 * 4 };

struct KernelSigaction {
    void *handler;
    unsigned long flags;
    void (*restorer)(void);
    unsigned int mask[2];
};

struct SigInfo {
    int signo, errnum, code;
};

typedef void (*InfoHandler)(int, struct SigInfo *, void *);
typedef void (*PlainHandler)(int);

static struct KernelSigaction installed[kSignals];

static long sys4(long number, long a, long b, long c, long d)
{
    long result;
    __asm__ volatile("pushl %%ebx\n\t"
                     "movl %2, %%ebx\n\t"
                     "int $0x80\n\t"
                     "popl %%ebx"
                     : "=a"(result)
                     : "0"(number), "r"(a), "c"(b), "d"(c), "S"(d)
                     : "memory");
    return result;
}

/* The return paths from a handler, as the C library's own: rt_sigreturn for
   the frames of SA_SIGINFO handlers, sigreturn for the others. */
__asm__(".text\n"
        "polarRestoreRt:\n\t"
        "movl $173, %eax\n\t"
        "int $0x80\n"
        "polarRestore:\n\t"
        "popl %eax\n\t"
        "movl $119, %eax\n\t"
        "int $0x80\n");
void polarRestoreRt(void) __attribute__((visibility("hidden")));
void polarRestore(void) __attribute__((visibility("hidden")));
extern int *__errno_location(void);

static int trapNumber(int signal, int code)
{
    switch (signal) {
    case kSigSegv:
        return code == 0x80 /* SI_KERNEL: general protection */ ? kTrapProtection : kTrapPage;
    case kSigBus:
        return code == 1 /* BUS_ADRALN */ ? kTrapAlignment : kTrapPage;
    case kSigFpe:
        if (code == 1 /* FPE_INTDIV */)
            return kTrapDivide;
        return code == 2 /* FPE_INTOVF */ ? kTrapOverflow : kTrapFpu;
    default:
        return code == 2 /* TRAP_TRACE */ ? kTrapDebug : kTrapBreakpoint;
    }
}

static void dispatch(int signal, struct SigInfo *info, void *context)
{
    int *trapno = (int *)((char *)context + kTrapNoOffset);
    if (*trapno == -1)
        *trapno = trapNumber(signal, info->code);
    const struct KernelSigaction *own = &installed[signal];
    if (own->flags & kSaSigInfo)
        ((InfoHandler)own->handler)(signal, info, context);
    else if (own->handler != (void *)0 && own->handler != (void *)1)
        ((PlainHandler)own->handler)(signal);
}

static int fixed(int signal)
{
    return signal == kSigSegv || signal == kSigBus || signal == kSigFpe || signal == kSigTrap;
}

static int isRealHandler(const void *handler)
{
    return handler != (void *)0 /* SIG_DFL */ && handler != (void *)1 /* SIG_IGN */;
}

/* glibc's struct sigaction on i386: handler, a 128-byte mask, flags, restorer. */
struct UserSigaction {
    void *handler;
    unsigned int mask[32];
    int flags;
    void (*restorer)(void);
};

int sigaction(int signal, const struct UserSigaction *action, struct UserSigaction *old)
{
    const int ours = signal > 0 && signal < kSignals && fixed(signal);
    struct KernelSigaction kernelNew, kernelOld, before;
    struct KernelSigaction *wanted = 0;
    if (ours)
        before = installed[signal];
    if (action) {
        kernelNew.handler = action->handler;
        kernelNew.flags = (unsigned long)action->flags;
        kernelNew.mask[0] = action->mask[0];
        kernelNew.mask[1] = action->mask[1];
        if (ours && isRealHandler(action->handler)) {
            /* Known before the kernel can deliver the signal to dispatch. */
            installed[signal] = kernelNew;
            kernelNew.handler = (void *)dispatch;
            kernelNew.flags |= kSaSigInfo;
        }
        kernelNew.restorer = (kernelNew.flags & kSaSigInfo) ? polarRestoreRt : polarRestore;
        kernelNew.flags |= kSaRestorer;
        wanted = &kernelNew;
    }
    const long result = sys4(kSysRtSigaction, signal, (long)wanted, (long)&kernelOld, 8);
    if (result < 0) {
        if (ours)
            installed[signal] = before;
        *__errno_location() = (int)-result;
        return -1;
    }
    if (old) {
        const struct KernelSigaction *previous = (ours && kernelOld.handler == (void *)dispatch) ? &before : &kernelOld;
        old->handler = previous->handler;
        old->flags = (int)(previous->flags & ~(unsigned long)kSaRestorer);
        old->restorer = 0;
        for (int i = 0; i < 32; ++i)
            old->mask[i] = i < 2 ? previous->mask[i] : 0;
    }
    return 0;
}
