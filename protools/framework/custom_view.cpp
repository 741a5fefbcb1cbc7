#include "custom_view.h"

#include "view_registry.h"

#include <map>

void CCustomView::SetSize(int width, int height) {
    rect_.right = rect_.left + width;
    rect_.bottom = rect_.top + height;
}

CCustomView* CCustomView::AddChild(std::unique_ptr<CCustomView> child) {
    if (!child) return nullptr;
    children_.push_back(std::move(child));
    return children_.back().get();
}

CCustomView* CCustomView::GetChild(std::size_t index) const {
    return index < children_.size() ? children_[index].get() : nullptr;
}

void CCustomView::Draw(const ptfw::ViewRect&) {}

void CCustomView::DrawTree(const ptfw::ViewRect& area) {
    Draw(area);
    for (const auto& child : children_)
        if (child->GetRect().Meets(area)) child->DrawTree(area);
}

void CCustomView::SetActive(bool active) {
    active_ = active;
}

namespace ptfw {

namespace {

std::map<std::string, ViewFactory>& Registry() {
    static std::map<std::string, ViewFactory> registry;
    return registry;
}

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

void RegisterViewClass(const char* name, ViewFactory factory) {
    if (name == nullptr || *name == 0) return;
    if (factory)
        Registry()[name] = factory;
    else
        Registry().erase(name);
}

bool IsViewClassRegistered(const char* name) {
    return name != nullptr && Registry().count(name) != 0;
}

void ClearViewClasses() {
    Registry().clear();
}

bool ParseViewDescription(const char* description, std::string* className, std::string* id) {
    if (description == nullptr || *description != '!') return false;
    const std::string text(description + 1);
    std::size_t end = 0;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    if (end == 0) return false;
    std::string name = text.substr(0, end), ident;
    const std::string rest = text.substr(end);
    if (!rest.empty()) {
        // Exactly "[('" ID "')]" with a non-empty ID of name characters.
        if (rest.size() < 7 || rest.compare(0, 3, "[('") != 0 ||
            rest.compare(rest.size() - 3, 3, "')]") != 0)
            return false;
        ident = rest.substr(3, rest.size() - 6);
        for (char c : ident)
            if (!IsNameChar(c)) return false;
        if (ident.empty()) return false;
    }
    if (className) *className = name;
    if (id) *id = ident;
    return true;
}

std::unique_ptr<CCustomView> BuildViewFromDescription(const char* description,
                                                      const ViewRect& rect) {
    std::string name, id;
    if (!ParseViewDescription(description, &name, &id)) return nullptr;
    auto found = Registry().find(name);
    if (found == Registry().end()) return nullptr;
    std::unique_ptr<CCustomView> view(found->second());
    if (!view) return nullptr;
    view->SetRect(rect);
    view->SetID(id);
    return view;
}

} // namespace ptfw
