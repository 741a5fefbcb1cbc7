// The processing component as the host sees it outside processing: its buses, its
// controller's class, activation and its state.
#pragma once

#include "factory.h"
#include "stream.h"

namespace kavet::vst3 {

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
    enum BusFlags : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };
    int32 mediaType;
    int32 direction;
    int32 channelCount;
    String128 name;
    int32 busType;
    uint32 flags;
};

struct RoutingInfo {
    int32 mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
public:
    static constexpr Uid iid = Uid::of(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

    // `classId` receives 16 bytes.
    virtual tresult KAVET_VST3_CALL getControllerClassId(char* classId) = 0;
    virtual tresult KAVET_VST3_CALL setIoMode(int32 mode) = 0;
    virtual int32 KAVET_VST3_CALL getBusCount(int32 type, int32 dir) = 0;
    virtual tresult KAVET_VST3_CALL getBusInfo(int32 type, int32 dir, int32 index,
                                               BusInfo& bus) = 0;
    virtual tresult KAVET_VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult KAVET_VST3_CALL activateBus(int32 type, int32 dir, int32 index,
                                                TBool state) = 0;
    virtual tresult KAVET_VST3_CALL setActive(TBool state) = 0;
    virtual tresult KAVET_VST3_CALL setState(IBStream* state) = 0;
    virtual tresult KAVET_VST3_CALL getState(IBStream* state) = 0;

protected:
    ~IComponent() = default;
};

} // namespace kavet::vst3
