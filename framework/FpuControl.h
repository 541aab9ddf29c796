#pragma once

#include <cstdint>

// The x87 floating-point control word. The device library was built with
// every x87 exception masked and may trap otherwise, so calls into it run
// inside an FpuControlScope. On processors without an x87 unit the functions
// do nothing and read 0.
namespace fw {

// All six exceptions masked, 64-bit precision, round to nearest. Bit 6 is
// reserved and reads back set: the word then reads 0x137F.
constexpr uint16_t kFpuAllMasked = 0x133F;

inline uint16_t fpuControlWord() {
#if defined(__i386__) || defined(__x86_64__)
    uint16_t word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
#else
    return 0;
#endif
}

inline void setFpuControlWord(uint16_t word) {
#if defined(__i386__) || defined(__x86_64__)
    // Pending exceptions would be raised by the next x87 instruction once unmasked.
    __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(word));
#else
    (void)word;
#endif
}

// Sets `word` for the lifetime of the scope and puts the caller's word back
// afterwards, also when an exception leaves the scope.
class FpuControlScope {
public:
    explicit FpuControlScope(uint16_t word = kFpuAllMasked) : saved_(fpuControlWord()) { setFpuControlWord(word); }
    ~FpuControlScope() { setFpuControlWord(saved_); }
    FpuControlScope(const FpuControlScope&) = delete;
    FpuControlScope& operator=(const FpuControlScope&) = delete;

private:
    uint16_t saved_;
};

}  // namespace fw
