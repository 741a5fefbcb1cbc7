// Any opcode, index, value and opt through the module's dispatcher (the entry's, as a host
// reaches it), with buffers of the sizes the interface documents for that opcode, mixed with
// resume/suspend, parameter calls, processing and the editor opened in a window of the
// layer's headless backend. The buffers are exactly as large as documented, so the address
// sanitizer traps any write past them. Asserts after every step: every parameter within 0..1;
// texts terminated inside their buffer; the chunk handed out is whole; finite input gives
// finite output. effClose ends the run, as it ends the effect.
#include "fuzz_support.h"

#include "core/chunk.h"

#include <kavet/driver.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

using namespace kavet;

namespace {

HWND g_host = nullptr;

// A text buffer of exactly `bytes` bytes on the heap, marked, so that a write past it traps
// and a missing terminator shows.
struct TextBuffer {
    explicit TextBuffer(std::size_t n) : bytes(n), data(new char[n]) {
        std::memset(data.get(), 0x7f, n);
    }
    void checkTerminated() const {
        KAVET_FUZZ_CHECK(std::memchr(data.get(), '\0', bytes) != nullptr,
                         "a text written by the effect is terminated inside its buffer");
    }
    std::size_t bytes;
    std::unique_ptr<char[]> data;
};

// The buffer size the interface documents for an opcode that writes a text; 0 for the others.
std::size_t textBytesFor(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
        return 24;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        return 32; // the effect's fields; the interface's nominal 8 is too small for "(Thru/Mute)"
    case effGetEffectName:
        return 32;
    case effGetVendorString:
    case effGetProductString:
        return 64;
    default:
        return 0;
    }
}

void dispatch(AEffect* e, FuzzedDataProvider& data, bool& editorOpen) {
    const VstInt32 opcode = data.ConsumeIntegralInRange<VstInt32>(-2, 81);
    const VstInt32 index = data.ConsumeBool() ? data.ConsumeIntegralInRange<VstInt32>(-1, 6)
                                              : data.ConsumeIntegral<VstInt32>();
    const VstIntPtr value = data.ConsumeBool() ? data.ConsumeIntegralInRange<VstIntPtr>(-1, 128)
                                               : data.ConsumeIntegral<VstIntPtr>();
    const float opt = fuzz::awkwardFloat(data);
    if (opcode == effClose) return; // the last call of all, made by the caller
    if (const std::size_t n = textBytesFor(opcode)) {
        TextBuffer text(n);
        e->dispatcher(e, opcode, index, value, text.data.get(), opt);
        // A call that wrote nothing leaves the marker: only what was written must end.
        if (text.data[0] != 0x7f) text.checkTerminated();
        return;
    }
    switch (opcode) {
    case effSetProgramName:
    case effString2Parameter:
    case effCanDo: {
        std::string text = data.ConsumeRandomLengthString(40);
        e->dispatcher(e, opcode, index, value, text.data(), opt);
        return;
    }
    case effEditGetRect: {
        ERect* rect = nullptr;
        if (e->dispatcher(e, opcode, index, value, &rect, opt)) {
            KAVET_FUZZ_CHECK(rect != nullptr && rect->right - rect->left == 265 &&
                                 rect->bottom - rect->top == 534,
                             "the editor's rectangle is 265 x 534");
        }
        return;
    }
    case effEditOpen:
        if (e->dispatcher(e, opcode, index, value, g_host, opt)) editorOpen = true;
        driver::pump();
        return;
    case effEditClose:
        e->dispatcher(e, opcode, index, value, nullptr, opt);
        editorOpen = false;
        return;
    case effGetChunk: {
        void* chunk = nullptr;
        const VstIntPtr bytes = e->dispatcher(e, opcode, index, value, &chunk, opt);
        KAVET_FUZZ_CHECK(bytes == kChunkBytes && chunk != nullptr, "the chunk handed out is whole");
        std::vector<char> copy(static_cast<char*>(chunk), static_cast<char*>(chunk) + bytes);
        return;
    }
    case effSetChunk: {
        // The claimed size is what the buffer holds (a host never claims more).
        std::vector<std::uint8_t> bytes = data.ConsumeBytes<std::uint8_t>(
            data.ConsumeBool() ? static_cast<std::size_t>(kChunkBytes)
                               : data.ConsumeIntegralInRange<std::size_t>(0, 80));
        bytes.reserve(1);
        const VstIntPtr taken = e->dispatcher(
            e, opcode, index, static_cast<VstIntPtr>(bytes.size()), bytes.data(), opt);
        const bool whole = bytes.size() == static_cast<std::size_t>(kChunkBytes);
        KAVET_FUZZ_CHECK(taken == (whole ? kChunkBytes : 0),
                         "a chunk is taken whole at its size and refused otherwise");
        return;
    }
    default: {
        // Every other opcode: a zeroed block large enough for any structure it may name.
        std::vector<std::uint8_t> block(512, 0);
        e->dispatcher(e, opcode, index, value, data.ConsumeBool() ? block.data() : nullptr, opt);
        return;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    driver::useVirtualClock(1000);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KavetFuzzHost";
    RegisterClassA(&wc);
    g_host = CreateWindowExA(0, "KavetFuzzHost", "Host", WS_POPUP | WS_VISIBLE, 0, 0, 265, 534,
                             nullptr, nullptr, wc.hInstance, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    AEffect* e = VSTPluginMain(fuzz::quietHost);
    KAVET_FUZZ_CHECK(e != nullptr, "the entry makes an effect");
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    Plug& plug = *static_cast<Plug*>(static_cast<AudioEffect*>(e->object));
    bool editorOpen = false;
    for (int step = 0; step < 48 && data.remaining_bytes() > 0; ++step) {
        switch (data.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
        case 1:
            dispatch(e, data, editorOpen);
            break;
        case 2:
            e->dispatcher(e, effMainsChanged, 0, data.ConsumeBool() ? 1 : 0, nullptr, 0.0f);
            break;
        case 3:
            fuzz::checkProcessing(plug, data);
            break;
        case 4:
            e->setParameter(e, data.ConsumeIntegralInRange<VstInt32>(-1, 6),
                            fuzz::awkwardFloat(data));
            break;
        case 5:
            e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
            driver::pump();
            break;
        }
        fuzz::checkParameters(plug);
    }
    fuzz::checkTexts(plug);
    if (editorOpen) e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    KAVET_FUZZ_CHECK(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f) == 1, "effClose answers 1");
    driver::pump();
    return 0;
}
