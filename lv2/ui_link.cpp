#include "ui_link.h"

#include "ports.h"

#include "core/plug.h"

namespace kavet::lv2 {

void UiLink::changedByUser(int index, float value) {
    if (link_ == nullptr || index < 0 || index >= kNumParams) return;
    const double range = trimRangeDb(plug_.getPrefs()->get(kPrefTrimRange));
    link_->write(link_->handle, paramPort(index), portFromNormalised(index, value, range));
    resend_.store(true, std::memory_order_release);
}

void UiLink::beginGesture(int index) {
    touch(index, true);
}

void UiLink::endGesture(int index) {
    touch(index, false);
}

void UiLink::touch(int index, bool grabbed) {
    if (link_ == nullptr || link_->touch == nullptr || index < 0 || index >= kNumParams) return;
    link_->touch(link_->handle, paramPort(index), grabbed);
}

} // namespace kavet::lv2
