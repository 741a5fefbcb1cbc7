// The edit controller: the parameters as the host lists, shows and automates them, the
// controller's state, and the editor's view; and the host's handler that takes the user's
// edits.
#pragma once

#include "processor.h"

#include <cstddef>

namespace kavet::vst3 {

class IPlugView;

struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsWrapAround = 1 << 2,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount; // 0: continuous; n: n + 1 discrete values
    ParamValue defaultNormalizedValue;
    int32 unitId; // 0: the root unit
    int32 flags;
};

static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
              sizeof(ParameterInfo) == 792);

// IComponentHandler::restartComponent's flags.
enum RestartFlags : int32 {
    kReloadComponent = 1 << 0,
    kIoChanged = 1 << 1,
    kParamValuesChanged = 1 << 2,
    kLatencyChanged = 1 << 3,
    kParamTitlesChanged = 1 << 4,
};

// The host's side of the user's edits. [UI thread]
class IComponentHandler : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

    virtual tresult KAVET_VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult KAVET_VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult KAVET_VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult KAVET_VST3_CALL restartComponent(int32 flags) = 0;

protected:
    ~IComponentHandler() = default;
};

class IEditController : public IPluginBase {
public:
    static constexpr Uid iid = Uid::of(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

    // The component's state, as its getState wrote it.
    virtual tresult KAVET_VST3_CALL setComponentState(IBStream* state) = 0;
    // The controller's own state.
    virtual tresult KAVET_VST3_CALL setState(IBStream* state) = 0;
    virtual tresult KAVET_VST3_CALL getState(IBStream* state) = 0;
    virtual int32 KAVET_VST3_CALL getParameterCount() = 0;
    virtual tresult KAVET_VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    // `string` holds 128 UTF-16 units.
    virtual tresult KAVET_VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                          char16* string) = 0;
    virtual tresult KAVET_VST3_CALL getParamValueByString(ParamID id, char16* string,
                                                          ParamValue& valueNormalized) = 0;
    virtual ParamValue KAVET_VST3_CALL normalizedParamToPlain(ParamID id,
                                                              ParamValue valueNormalized) = 0;
    virtual ParamValue KAVET_VST3_CALL plainParamToNormalized(ParamID id,
                                                              ParamValue plainValue) = 0;
    virtual ParamValue KAVET_VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult KAVET_VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult KAVET_VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    // `name`: "editor" for the editor's view. Null when there is none.
    virtual IPlugView* KAVET_VST3_CALL createView(FIDString name) = 0;

protected:
    ~IEditController() = default;
};

inline constexpr const char* kEditorViewName = "editor";

} // namespace kavet::vst3
