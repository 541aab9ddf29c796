/* Exits with 42 when the kernel runs 32-bit x86 Linux programs (natively or
   through a binfmt_misc interpreter). Built with -m32 -nostdlib -static, so
   that it needs no 32-bit C library. */
void _start(void)
{
    __asm__ volatile("movl $1, %eax\n\t" /* exit */
                     "movl $42, %ebx\n\t"
                     "int $0x80");
}
