// CView: a rectangle of the editor that draws itself and takes clicks, the base of every
// control and container. [UI thread]
#pragma once

#include "refcounter.h"
#include "types.h"
#include "vst/aeffeditor.h"

#include <cstdint>

class AEffGUIEditor;

namespace toolkit {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CReferenceCounter {
public:
    explicit CView(const CRectangle& size);
    ~CView() override;

    // Virtual slots in this order; derived classes rely on it.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRectangle& updateRect);
    // Overlap with the edges included.
    virtual bool checkUpdate(const CRectangle& rect);
    virtual void mouse(CDrawContext* context, CPosition& where, std::int32_t buttons = -1);
    // Containers answer 1 to the pointer kMsgCheckIfViewContainer.
    virtual std::int32_t notify(CView* sender, const char* message);
    // Remembers the new bitmap and forgets the old one.
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const;
    // -1: not handled.
    virtual std::int32_t onKeyDown(VstKeyCode& key);
    virtual std::int32_t onKeyUp(VstKeyCode& key);
    // type 0: items are file names; 1: items[0] is text of `count` bytes.
    virtual bool onDropFiles(void** items, std::int32_t count, std::int32_t type, CPosition& where);
    // distance: 1.0 per wheel notch, positive away from the user.
    virtual bool onWheel(CDrawContext* context, const CPosition& where, float distance);
    virtual bool onDrop(void* dragData, CPosition& where);
    virtual void loseFocus(CDrawContext* context = nullptr);
    virtual void takeFocus(CDrawContext* context = nullptr);
    virtual bool isDirty() const;
    virtual void setDirty(bool val = true);
    virtual void setMouseEnabled(bool enable);
    virtual bool getMouseEnabled() const;
    virtual void setMouseableArea(const CRectangle& rect);
    virtual CRectangle& getMouseableArea(CRectangle& rect) const;
    // Closed test: all four edges of the mouseable area hit.
    virtual bool hitTest(const CPosition& where, std::int32_t buttons = -1);
    virtual void setTransparency(bool val);
    virtual bool getTransparency() const;
    virtual void setViewSize(const CRectangle& rect);
    virtual CRectangle& getViewSize(CRectangle& rect) const;
    virtual void setParentView(CView* parent);
    virtual void setFrame(CFrame* frame);
    virtual AEffGUIEditor* getEditor() const;
    virtual bool removed(CView* parent);
    virtual bool attached(CView* parent);
    // The cursor in this view's parent coordinates.
    virtual void getMouseLocation(CDrawContext* context, CPosition& point);
    virtual CPosition& localToFrame(CPosition& point) const;
    virtual void redrawRect(CDrawContext* context, const CRectangle& rect);
    virtual void update(CDrawContext* context);

    // Asks the frame to draw this view now.
    void redraw();
    CFrame* getFrame() const { return pParentFrame; }
    CView* getParentView() const { return pParentView; }

protected:
    // Whether `view` answers the container identity message.
    static bool isContainer(CView* view);

    CRectangle size;          // in the parent's coordinates
    CRectangle mouseableArea; // the part that takes clicks; equal to size at first
    CFrame* pParentFrame = nullptr;
    CView* pParentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparencyEnabled = false;
    CBitmap* pBackground = nullptr; // reference-counted
};

} // namespace toolkit
