// The edit controller: the parameters from the core's table as the host lists, shows and
// automates them, and the editor's view. The view is the processing effect's own editor,
// which the controller reaches through its connection to the processor. [UI thread], every
// call.
#pragma once

#include "processor_access.h"
#include "ref_count.h"

#include "core/host_link.h"
#include "core/params.h"
#include "vst3/controller.h"
#include "vst3/messages.h"

namespace kavet::vst3plugin {

class View;

class Controller final : public vst3::IEditController, public vst3::IConnectionPoint {
public:
    // One reference for the caller; null when allocation fails.
    static Controller* create();

    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 KAVET_VST3_CALL addRef() override { return refs_.add(); }
    vst3::uint32 KAVET_VST3_CALL release() override;

    vst3::tresult KAVET_VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult KAVET_VST3_CALL terminate() override;

    // IEditController
    vst3::tresult KAVET_VST3_CALL setComponentState(vst3::IBStream* state) override;
    vst3::tresult KAVET_VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult KAVET_VST3_CALL getState(vst3::IBStream* state) override;
    vst3::int32 KAVET_VST3_CALL getParameterCount() override { return kNumParams; }
    vst3::tresult KAVET_VST3_CALL getParameterInfo(vst3::int32 paramIndex,
                                                   vst3::ParameterInfo& info) override;
    vst3::tresult KAVET_VST3_CALL getParamStringByValue(vst3::ParamID id,
                                                        vst3::ParamValue valueNormalized,
                                                        vst3::char16* string) override;
    vst3::tresult KAVET_VST3_CALL getParamValueByString(vst3::ParamID id, vst3::char16* string,
                                                        vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue KAVET_VST3_CALL normalizedParamToPlain(vst3::ParamID id,
                                                            vst3::ParamValue value) override;
    vst3::ParamValue KAVET_VST3_CALL plainParamToNormalized(vst3::ParamID id,
                                                            vst3::ParamValue plain) override;
    vst3::ParamValue KAVET_VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult KAVET_VST3_CALL setParamNormalized(vst3::ParamID id,
                                                     vst3::ParamValue value) override;
    vst3::tresult KAVET_VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* KAVET_VST3_CALL createView(vst3::FIDString name) override;

    // IConnectionPoint
    vst3::tresult KAVET_VST3_CALL connect(vst3::IConnectionPoint* other) override;
    vst3::tresult KAVET_VST3_CALL disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult KAVET_VST3_CALL notify(vst3::IMessage* message) override;

    // For the view: the effect it shows (null while unconnected), the link its gestures go
    // through, and its going.
    Plug* effect() const { return access_ != nullptr ? access_->effect() : nullptr; }
    HostLink& editLink() { return link_; }
    void viewGone(const View* view);

private:
    // The user's edits in the editor, to the host's component handler.
    class EditLink final : public HostLink {
    public:
        explicit EditLink(Controller& owner) : owner_(owner) {}
        void changedByUser(int index, float value) override;
        void beginGesture(int index) override;
        void endGesture(int index) override;

    private:
        Controller& owner_;
    };

    Controller();
    ~Controller();
    void takeAccess(IProcessorAccess* access);
    // The trim range the texts and plain values use: the effect's preference in force when
    // connected, else the range of the last component state.
    double trimRange() const;

    RefCount refs_;
    EditLink link_{*this};
    vst3::ParamValue values_[kNumParams];
    int trimWord_;
    vst3::IComponentHandler* handler_ = nullptr; // with a reference
    vst3::IConnectionPoint* peer_ = nullptr;     // with a reference, while connected
    IProcessorAccess* access_ = nullptr;         // with a reference, once known
    View* view_ = nullptr;                       // the open view, which holds a reference here
};

} // namespace kavet::vst3plugin
