// CFrame: the top view of an editor. It owns a child window inside the parent window the
// host gives, and routes painting, clicks and the mouse wheel from Windows to its views.
// [UI thread] (the thread that created the window).
#pragma once

#include "viewcontainer.h"

#include <windows.h>

#include <cstdint>

class AEffGUIEditor;

namespace toolkit {

class CFrame : public CViewContainer {
public:
    // A null parent window makes a windowless frame (painting only from callers that pass
    // a context).
    CFrame(const CRectangle& size, void* systemWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    // Virtual slots in this order, after those of CViewContainer.
    virtual bool open(CPosition* point = nullptr);
    virtual bool close();
    virtual bool isOpen() const;
    // Draws `view` when it is a direct child, else the whole frame, into the frame window.
    virtual void drawView(CView* view);
    virtual void idle();
    virtual void doIdleStuff();
    virtual std::uint32_t getTicks() const;
    virtual std::int32_t getKnobMode() const;
    [[nodiscard]] virtual bool getPosition(std::int32_t& x, std::int32_t& y) const;
    [[nodiscard]] virtual bool setSize(std::int32_t width, std::int32_t height);
    [[nodiscard]] virtual bool getSizeOf(CRectangle& rect) const;
    [[nodiscard]] virtual bool getSize(CRectangle& rect) const;
    // Refused while another modal view is set; the modal view becomes a child. Clearing it
    // (null) always succeeds.
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginEdit(std::int32_t tag);
    virtual void endEdit(std::int32_t tag);
    // The cursor in frame-window coordinates.
    virtual void getCurrentLocation(CPosition& where);
    // 0 restores the cursor saved by the first call; 1 wait, 2..6 the sizing cursors.
    virtual void setCursor(std::int32_t type);
    virtual CView* getCurrentView();
    virtual bool setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropActive(bool val);
    virtual bool isDropActive() const;
    // Marks dirty every child whose size overlaps rect (edges included).
    virtual void invalidate(const CRectangle& rect);
    virtual void setOpenFlag(bool val);
    virtual bool getOpenFlag() const;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRectangle& updateRect) override;
    void mouse(CDrawContext* context, CPosition& where, std::int32_t buttons = -1) override;
    std::int32_t onKeyDown(VstKeyCode& key) override;
    std::int32_t onKeyUp(VstKeyCode& key) override;
    bool onDropFiles(void** items, std::int32_t count, std::int32_t type,
                     CPosition& where) override;
    bool onWheel(CDrawContext* context, const CPosition& where, float distance) override;
    void update(CDrawContext* context) override;
    AEffGUIEditor* getEditor() const override;

    // The frame's own child window (null when windowless) and the parent it lives in.
    HWND getWindow() const { return pHwnd; }
    HWND getSystemWindow() const { return pSystemWindow; }
    bool isFirstDraw() const { return bFirstDraw; }

    // Process-wide state of the window class, for diagnostics: the frames with a window
    // alive, the class name ("Plugin" + module handle in hex) and the wheel hook.
    static std::int32_t getWindowClassUseCount();
    static const char* getWindowClassName();
    static HHOOK getWheelHook();
    static bool isFrameWindow(HWND hwnd);

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend struct FrameWindowAccess;

    void loadMsimg();
    void createWindow();
    void destroyWindow();
    CDrawContext* makeContext();

    HWND pSystemWindow;
    AEffGUIEditor* pEditor;
    CView* pModalView = nullptr;
    CView* pFocusView = nullptr;
    bool bFirstDraw = true;
    bool bOpenFlag = true;
    bool bDropActive = false;
    HWND pHwnd = nullptr;
    HMODULE hMsimg32 = nullptr;
    CDrawContext* pFrameContext = nullptr; // nothing sets it; contexts are made per use
    bool bHostWindow = false;              // nothing sets it; gates open and close
    void* pHostWindowBuffer = nullptr;     // freed with free when present
    HCURSOR savedCursor = nullptr;
};

} // namespace toolkit
