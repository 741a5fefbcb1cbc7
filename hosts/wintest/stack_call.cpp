#include "stack_call.h"

#include <bit>

static_assert(sizeof(void*) == 4, "the Windows test host is a 32-bit x86 program");

// VstIntPtr kavetCallWithStackOffset(fn, args, count, offset), cdecl: copies the argument
// words onto a fresh stack area whose address is `offset` bytes past a 16-byte boundary,
// calls fn, and restores the stack pointer from the frame (so it serves callee-cleaned
// conventions too).
asm(R"(
    .text
    .globl _kavetCallWithStackOffset
    .def _kavetCallWithStackOffset; .scl 2; .type 32; .endef
_kavetCallWithStackOffset:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 16(%ebp), %ecx
    movl 12(%ebp), %esi
    leal 0(,%ecx,4), %eax
    movl %esp, %edx
    subl %eax, %edx
    subl $64, %edx
    andl $-16, %edx
    addl 20(%ebp), %edx
    movl %edx, %esp
    movl %edx, %edi
    cld
    rep movsl
    call *8(%ebp)
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

extern "C" VstIntPtr kavetCallWithStackOffset(const void* fn, const std::uint32_t* args, int count,
                                              int offset);

namespace {
std::uint32_t word(const void* p) {
    return static_cast<std::uint32_t>(std::bit_cast<std::uintptr_t>(p));
}
std::uint32_t word(VstIntPtr v) {
    return static_cast<std::uint32_t>(v);
}
} // namespace

VstIntPtr callWithStackOffset(const void* fn, const std::uint32_t* args, int count, int offset) {
    return kavetCallWithStackOffset(fn, args, count, offset & 12);
}

AEffect* entryWithStackOffset(const void* entry, audioMasterCallback host, int offset) {
    const std::uint32_t args[] = {word(reinterpret_cast<const void*>(host))};
    return std::bit_cast<AEffect*>(callWithStackOffset(entry, args, 1, offset));
}

VstIntPtr dispatchWithStackOffset(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt, int offset) {
    const std::uint32_t args[] = {word(effect),
                                  word(static_cast<VstIntPtr>(opcode)),
                                  word(static_cast<VstIntPtr>(index)),
                                  word(value),
                                  word(ptr),
                                  std::bit_cast<std::uint32_t>(opt)};
    return callWithStackOffset(reinterpret_cast<const void*>(effect->dispatcher), args, 6, offset);
}

void setParameterWithStackOffset(AEffect* effect, VstInt32 index, float value, int offset) {
    const std::uint32_t args[] = {word(effect), word(static_cast<VstIntPtr>(index)),
                                  std::bit_cast<std::uint32_t>(value)};
    callWithStackOffset(reinterpret_cast<const void*>(effect->setParameter), args, 3, offset);
}

void processWithStackOffset(const void* fn, AEffect* effect, void* inputs, void* outputs,
                            VstInt32 frames, int offset) {
    const std::uint32_t args[] = {word(effect), word(inputs), word(outputs),
                                  word(static_cast<VstIntPtr>(frames))};
    callWithStackOffset(fn, args, 4, offset);
}
