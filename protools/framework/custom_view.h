// CCustomView: a view of the plug-in's view tree as the host's plug-in window shows it.
// A view has a rectangle, an optional ID from its description, owned children, and an
// active state the process switches when the host attaches or detaches its drawing port.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ptfw {

struct ViewRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Meets(const ViewRect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

} // namespace ptfw

class CCustomView {
public:
    CCustomView() = default;
    virtual ~CCustomView() = default;
    CCustomView(const CCustomView&) = delete;
    CCustomView& operator=(const CCustomView&) = delete;

    const ptfw::ViewRect& GetRect() const { return rect_; }
    void SetRect(const ptfw::ViewRect& rect) { rect_ = rect; }
    // Keeps the top-left corner.
    void SetSize(int width, int height);

    const std::string& GetID() const { return id_; }
    void SetID(std::string id) { id_ = std::move(id); }

    // Takes ownership; answers the child.
    CCustomView* AddChild(std::unique_ptr<CCustomView> child);
    std::size_t GetChildCount() const { return children_.size(); }
    CCustomView* GetChild(std::size_t index) const;

    // [UI thread] Draw the part `area` of this view (nothing by default).
    virtual void Draw(const ptfw::ViewRect& area);
    // [UI thread] Draw on this view, then on every child whose rectangle meets `area`.
    void DrawTree(const ptfw::ViewRect& area);
    // Switched by the process; the view is told through this operation, once per change.
    virtual void SetActive(bool active);
    bool IsActive() const { return active_; }

private:
    ptfw::ViewRect rect_;
    std::string id_;
    std::vector<std::unique_ptr<CCustomView>> children_;
    bool active_ = false;
};
