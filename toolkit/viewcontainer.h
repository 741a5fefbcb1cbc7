// CViewContainer: a view holding child views in a list (first added lies at the bottom),
// drawing them through an offscreen bitmap of its own size and routing clicks, the wheel,
// keys and drops to them. [UI thread]
#pragma once

#include "view.h"

namespace toolkit {

class COffscreenContext;

// Update modes: what a dirty container redraws on update.
enum : std::int32_t {
    kNormalUpdate = 0,    // the whole container
    kOnlyDirtyUpdate = 1, // only the dirty children
};

class CViewContainer : public CView {
public:
    CViewContainer(const CRectangle& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    // Virtual slots in this order, after those of CView.
    virtual void addViewWithArea(CView* view, const CRectangle& mouseableArea,
                                 bool mouseEnabled = true);
    // Null is ignored. The container keeps one reference to the view.
    virtual void addView(CView* view);
    virtual void removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    virtual bool isChild(CView* view) const;
    virtual std::int32_t getNbViews() const;
    // 0-based from the first added; null past the end.
    virtual CView* getView(std::int32_t index) const;
    virtual void setBackgroundColor(const CColorRGBA& color);
    virtual CColorRGBA getBackgroundColor() const;
    virtual void setBackgroundOffset(const CPosition& offset);
    virtual const CPosition& getBackgroundOffset() const;
    // rect in local coordinates.
    virtual void drawBackgroundRect(CDrawContext* context, const CRectangle& rect);
    virtual void setMode(std::int32_t mode);
    virtual std::int32_t getMode() const;
    virtual void useOffscreen(bool flag);

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRectangle& updateRect) override;
    void mouse(CDrawContext* context, CPosition& where, std::int32_t buttons = -1) override;
    std::int32_t notify(CView* sender, const char* message) override;
    std::int32_t onKeyDown(VstKeyCode& key) override;
    std::int32_t onKeyUp(VstKeyCode& key) override;
    bool onDropFiles(void** items, std::int32_t count, std::int32_t type,
                     CPosition& where) override;
    bool onWheel(CDrawContext* context, const CPosition& where, float distance) override;
    bool onDrop(void* dragData, CPosition& where) override;
    void loseFocus(CDrawContext* context = nullptr) override;
    void takeFocus(CDrawContext* context = nullptr) override;
    bool isDirty() const override;
    void setViewSize(const CRectangle& rect) override;
    bool removed(CView* parent) override;
    bool attached(CView* parent) override;
    void redrawRect(CDrawContext* context, const CRectangle& rect) override;
    void update(CDrawContext* context) override;

    COffscreenContext* getOffscreenContext() const { return pOffscreenContext; }
    bool getUseOffscreen() const { return bDrawInOffscreen; }

protected:
    // A link of the child list; it holds one reference to its view.
    struct CCView {
        explicit CCView(CView* view);
        ~CCView();
        CCView(const CCView&) = delete;
        CCView& operator=(const CCView&) = delete;
        CView* pView;
        CCView* pNext = nullptr;
        CCView* pPrevious = nullptr;
    };

    // The topmost child (last added first) that is mouse-enabled and hit at `local`.
    CView* childAt(const CPosition& local, std::int32_t buttons) const;
    // The topmost child whose closed mouseable area contains `local`.
    CView* childUnder(const CPosition& local) const;
    CRectangle localRect() const { return CRectangle(0, 0, size.width(), size.height()); }
    void makeOffscreen();
    void dropOffscreen();
    // Where children draw: the offscreen context, or `context` shifted to this origin.
    CDrawContext* beginTarget(CDrawContext* context);
    void endTarget(CDrawContext* context, CDrawContext* target);

    CCView* pFirstView = nullptr;
    CCView* pLastView = nullptr;
    std::int32_t mode = kNormalUpdate;
    COffscreenContext* pOffscreenContext = nullptr;
    CColorRGBA backgroundColor = kBlackCColor;
    CPosition backgroundOffset;
    bool bDrawInOffscreen = true;
};

} // namespace toolkit
