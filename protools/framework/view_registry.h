// The view registry: view class names and their factories, and the builder that makes a
// view from a description. A description is "!" + class name, optionally followed by an
// ID list "[('ID')]": "!NoUIView[('NoID')]" asks for a view of the class registered as
// "NoUIView" with the ID "NoID". One registry per loaded module.
#pragma once

#include "custom_view.h"

#include <memory>
#include <string>

namespace ptfw {

using ViewFactory = CCustomView* (*)();

// Replaces an earlier registration of the same name; a null factory removes it.
void RegisterViewClass(const char* name, ViewFactory factory);
bool IsViewClassRegistered(const char* name);
void ClearViewClasses();

// The class name and ID of a description; false for text that is not a description.
bool ParseViewDescription(const char* description, std::string* className, std::string* id);

// A new view for the description, placed at `rect`, or null when the description is
// malformed, names no registered class, or its factory answers null.
std::unique_ptr<CCustomView> BuildViewFromDescription(const char* description,
                                                      const ViewRect& rect);

} // namespace ptfw
