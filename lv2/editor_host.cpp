// The instance's side of the editor interface (editor_access.h): the effect's own editor,
// opened in the UI's X11 window as the VST entry opens it in a host's (modules/vst_entry.cpp).
// [UI thread]
#include "instance.h"

#include "core/editor_link.h"

#include <kavet/host_window.h>

namespace kavet::lv2 {

std::uintptr_t Instance::openEditor(std::uintptr_t parent, const EditorPortLink& link, int& width,
                                    int& height) {
    AEffEditor* editor = plug_->getEditor();
    if (editorOpen_ || editor == nullptr || link.write == nullptr) return 0;
    ERect* rect = nullptr;
    if (!editor->getRect(&rect) || rect == nullptr) return 0;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    // Without a parent, the host asked for a window of the editor's own (ui:showInterface).
    HWND frameParent =
        parent != 0 ? hostwindow::attach(plug_, reinterpret_cast<void*>(parent), width, height)
                    : hostwindow::attachTopLevel(plug_, kProduct, width, height);
    if (frameParent == nullptr) return 0;
    // The link first: the editor may report values as it opens.
    uiLink_.attach(&link);
    plug_->setHostLink(&uiLink_);
    editorReads_.store(true, std::memory_order_release);
    if (!editor->open(frameParent)) {
        editorReads_.store(false, std::memory_order_release);
        plug_->setHostLink(nullptr);
        uiLink_.attach(nullptr);
        hostwindow::detach(plug_);
        return 0;
    }
    editorOpen_ = true;
    return reinterpret_cast<std::uintptr_t>(hostwindow::shownWindow(plug_));
}

bool Instance::idleEditor() {
    if (!editorOpen_) return false;
    hostwindow::pump();
    AEffEditor* editor = plug_->getEditor();
    editor->idle();
    hostwindow::present();
    keepEditorWords();
    // The meter ports show what the editor read.
    MeterSnapshot snapshot{};
    bool rmsFresh = false;
    if (editorTakeReadings(editor, snapshot, rmsFresh)) showReadings(snapshot, rmsFresh);
    return hostwindow::closeRequested(plug_);
}

void Instance::closeEditor() {
    if (!editorOpen_) return;
    keepEditorWords();
    AEffEditor* editor = plug_->getEditor();
    editor->close();
    hostwindow::detach(plug_);
    // A closed editor reports its switches as off: the next open starts from these words.
    float words[kEditorWords];
    for (int w = 0; w < kEditorWords; ++w)
        words[w] = editorWords_[w].load(std::memory_order_relaxed);
    editorSetState(editor, words);
    plug_->setHostLink(nullptr);
    uiLink_.attach(nullptr);
    editorReads_.store(false, std::memory_order_release);
    editorOpen_ = false;
}

void Instance::keepEditorWords() {
    float words[kEditorWords];
    editorGetState(plug_->getEditor(), words);
    for (int w = 0; w < kEditorWords; ++w)
        editorWords_[w].store(words[w], std::memory_order_relaxed);
}

void Instance::portEvent(std::uint32_t port, float value) {
    if (active_.load(std::memory_order_acquire)) return;
    if (port < kFirstParamPort || port - kFirstParamPort >= kNumParams) return;
    const int index = static_cast<int>(port - kFirstParamPort);
    const double range = trimRangeDb(plug_->getPrefs()->get(kPrefTrimRange));
    plug_->setParameter(index, normalisedFromPort(index, value, range));
}

} // namespace kavet::lv2
