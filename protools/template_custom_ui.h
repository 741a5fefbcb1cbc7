// CTemplateCustomUI: the editor wrapper. It opens the effect's own editor (an AEffEditor, as
// a VST host would) inside a plain child window of the host's plug-in window, idles it,
// draws it and closes it. The editor belongs to the effect; the wrapper belongs to the
// process. [UI thread]
#pragma once

#include "itemplate_custom_ui.h"

#include <windows.h>

class AEffEditor;

inline constexpr const char* kCustomUIClassName = "TemplateLocal";
inline constexpr const char* kCustomUIWindowTitle = "TemplateCustomUI";
// The editor's extent: the size of its background bitmap.
inline constexpr long kEditorWidth = 265;
inline constexpr long kEditorHeight = 534;

class CTemplateCustomUI : public ITemplateCustomUI {
public:
    // Registers the window class; throws CDAEError with the system error code when that
    // fails for any reason but the class existing already.
    explicit CTemplateCustomUI(ITemplateProcess* process);
    ~CTemplateCustomUI() override;
    CTemplateCustomUI(const CTemplateCustomUI&) = delete;
    CTemplateCustomUI& operator=(const CTemplateCustomUI&) = delete;

    void RegisterWindowClass() override;
    // Places the child window centred at the bottom of `parentWindow`'s client area and
    // opens the editor in it. False for a null parent; throws CDAEError with the system
    // error code when the child window cannot be created.
    [[nodiscard]] bool Open(void* parentWindow) override;
    // Closes the editor and destroys the child window; false when none is open.
    bool Close() override;
    long Reserved() override { return 0; }
    void Idle() override;
    void Draw(long left, long top, long right, long bottom) override;
    // Always the editor's fixed extent 0, 0, 265, 534 (the editor is not asked).
    void GetRect(long* left, long* top, long* right, long* bottom) override;
    void EventNotification(long, long, long) override {}
    void EventQuery(long, long, long* handled) override;

    bool IsOpen() const { return child_ != nullptr; }
    HWND GetChildWindow() const { return child_; }
    HWND GetParentWindow() const { return parent_; }
    AEffEditor* GetEditor() const { return editor_; }
    ATOM GetClassAtom() const { return atom_; }
    // From the last open: client height minus editor height, and client width.
    long GetPlacementTop() const { return freeHeight_; }
    long GetPlacementWidth() const { return clientWidth_; }

private:
    HINSTANCE module_ = nullptr;
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
    WNDCLASSA class_{};
    ATOM atom_ = 0;
    RECT editorRect_{0, 0, 0, 0};
    long freeHeight_ = 0;
    long clientWidth_ = 0;
    AEffEditor* editor_ = nullptr; // the effect's; not owned
    bool registered_ = false;      // counted among the wrappers holding the class
};

// The module-wide handle the wrappers register their class for.
HINSTANCE CustomUIModule();
