#include "template_custom_ui.h"

#include "itemplate_process.h"

#include "protools/framework/dae_error.h"
#include "protools/framework/global_lock.h"

#include "core/plug.h"
#include "toolkit/aeffguieditor.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

namespace {

HINSTANCE moduleInstance = nullptr;
// Wrappers alive that registered the class (or found it registered): the class goes with
// the last, so that one instance closing never takes the class from under another.
int classUsers = 0;

constexpr DWORD kErrClassExists = 1410; // ERROR_CLASS_ALREADY_EXISTS

} // namespace

HINSTANCE CustomUIModule() {
    return moduleInstance;
}

CTemplateCustomUI::CTemplateCustomUI(ITemplateProcess* process) : ITemplateCustomUI(process) {
    if (process_ != nullptr) moduleInstance = process_->ModuleInstance();
    module_ = moduleInstance;
    class_ = WNDCLASSA{};
    if (process_ != nullptr && process_->GetEffect() != nullptr)
        editor_ = process_->GetEffect()->getEditor();
    RegisterWindowClass();
}

CTemplateCustomUI::~CTemplateCustomUI() {
    editor_ = nullptr;
    parent_ = child_ = nullptr;
    if (registered_ && --classUsers == 0) UnregisterClassA(kCustomUIClassName, moduleInstance);
    atom_ = 0;
}

void CTemplateCustomUI::RegisterWindowClass() {
    class_.style = CS_HREDRAW | CS_VREDRAW;
    class_.lpfnWndProc = DefWindowProcA;
    class_.cbClsExtra = 0;
    class_.cbWndExtra = 0;
    class_.hInstance = module_;
    class_.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    class_.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    class_.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    class_.lpszMenuName = nullptr;
    class_.lpszClassName = kCustomUIClassName;
    atom_ = RegisterClassA(&class_);
    if (atom_ == 0) {
        const DWORD error = GetLastError();
        if (error != kErrClassExists) {
            parent_ = nullptr;
            throw CDAEError(static_cast<std::int32_t>(error));
        }
    }
    if (!registered_) {
        registered_ = true;
        ++classUsers;
    }
}

bool CTemplateCustomUI::Open(void* parentWindow) {
    parent_ = static_cast<HWND>(parentWindow);
    if (parent_ == nullptr) return false;
    if (module_ == nullptr) module_ = moduleInstance; // cleared by a failed open
    long left, top, right, bottom;
    GetRect(&left, &top, &right, &bottom);
    const long w = right - left, h = bottom - top;
    RECT client{0, 0, 0, 0};
    GetClientRect(parent_, &client);
    const long width = client.right - client.left, height = client.bottom - client.top;
    // Centred across (truncated towards zero), bottom edge on the host's bottom edge: any
    // free height stays above the editor.
    const long x = w == width ? left : (width - w) / 2;
    const long y = height - h;
    freeHeight_ = y;
    clientWidth_ = width;
    child_ = CreateWindowExA(0, kCustomUIClassName, kCustomUIWindowTitle, WS_CHILD | WS_VISIBLE,
                             static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                             static_cast<int>(h), parent_, nullptr, module_, nullptr);
    if (child_ == nullptr) {
        const DWORD error = GetLastError();
        parent_ = nullptr;
        module_ = nullptr;
        throw CDAEError(static_cast<std::int32_t>(error));
    }
    ShowWindow(child_, SW_SHOWNORMAL);
    InvalidateRect(child_, nullptr, FALSE);
    UpdateWindow(child_);
    if (editor_ != nullptr) {
        // Whatever the editor loads while opening comes from the plug-in's own resources.
        ptfw::CGlobalLock lock;
        const std::int32_t previous = process_ ? process_->EnterPlugInResources() : 0;
        editor_->open(child_);
        if (process_) process_->LeavePlugInResources(previous);
    }
    return true;
}

bool CTemplateCustomUI::Close() {
    if (child_ == nullptr) return false;
    if (editor_ != nullptr) editor_->close();
    const bool destroyed = DestroyWindow(child_) != FALSE;
    child_ = nullptr;
    parent_ = nullptr;
    return destroyed;
}

void CTemplateCustomUI::Idle() {
    if (editor_ != nullptr) editor_->idle();
}

void CTemplateCustomUI::Draw(long left, long top, long right, long bottom) {
    auto* gui = dynamic_cast<AEffGUIEditor*>(editor_);
    toolkit::CFrame* frame = gui ? gui->getFrame() : nullptr;
    if (frame == nullptr) return;
    // The frame paints into its own window, which covers the child window it lives in.
    HWND window = frame->getWindow() ? frame->getWindow() : frame->getSystemWindow();
    toolkit::CDrawContext context(frame, nullptr, window);
    frame->drawRect(&context, toolkit::CRectangle(static_cast<std::int32_t>(left),
                                                  static_cast<std::int32_t>(top),
                                                  static_cast<std::int32_t>(right),
                                                  static_cast<std::int32_t>(bottom)));
}

void CTemplateCustomUI::GetRect(long* left, long* top, long* right, long* bottom) {
    editorRect_ = RECT{0, 0, kEditorWidth, kEditorHeight};
    if (left) *left = editorRect_.left;
    if (top) *top = editorRect_.top;
    if (right) *right = editorRect_.right;
    if (bottom) *bottom = editorRect_.bottom;
}

void CTemplateCustomUI::EventQuery(long, long, long* handled) {
    if (handled) *handled = 0;
}
