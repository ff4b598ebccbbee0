// The VST 3 interfaces this plug-in implements and calls, written from the
// published interface headers and the format's documentation: the interface
// ids, every vtable in its order, and the records and constants used, with
// their layouts checked below for the 64-bit Linux and Windows targets.
//
// An interface is a class of pure virtual functions (no virtual destructor,
// so the vtable is the interface's functions in order, after those of the
// interface it extends), called with the system's COM calling convention.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using tresult = int32_t;
using TBool = uint8_t;
using char16 = char16_t;
using FIDString = const char*;
using TUID = char[16];
using String128 = char16[128];
using ParamID = uint32_t;
using ParamValue = double;
using UnitID = int32_t;
using ProgramListID = int32_t;
using SpeakerArrangement = uint64_t;

// Result codes: Windows uses the COM values, other systems small numbers.
#if defined(_WIN32)
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
#endif
constexpr tresult kResultTrue = kResultOk;

// A 16-byte id written as four 32-bit words. On Windows its bytes are in
// COM order (the first word and the two halves of the second little-endian);
// elsewhere every word is big-endian.
struct Uid {
    char bytes[16];
    constexpr Uid(uint32_t l1, uint32_t l2, uint32_t l3, uint32_t l4) : bytes{} {
        const uint32_t words[4] = {l1, l2, l3, l4};
        for (int w = 0; w < 4; ++w)
            for (int b = 0; b < 4; ++b) bytes[w * 4 + b] = static_cast<char>(words[w] >> (24 - 8 * b));
#if defined(_WIN32)
        for (int b = 0; b < 4; ++b) bytes[b] = static_cast<char>(l1 >> (8 * b));
        bytes[4] = static_cast<char>(l2 >> 16);
        bytes[5] = static_cast<char>(l2 >> 24);
        bytes[6] = static_cast<char>(l2);
        bytes[7] = static_cast<char>(l2 >> 8);
#endif
    }
    bool operator==(const char* other) const {
        if (!other) return false;
        for (int i = 0; i < 16; ++i)
            if (bytes[i] != other[i]) return false;
        return true;
    }
};

// ---- Base --------------------------------------------------------------------

class FUnknown {
public:
    virtual tresult VST3_CALL queryInterface(const TUID iid, void** object) = 0;
    virtual uint32_t VST3_CALL addRef() = 0;
    virtual uint32_t VST3_CALL release() = 0;
};
constexpr Uid kFUnknownIid{0x00000000, 0x00000000, 0xC0000000, 0x00000046};

class IPluginBase : public FUnknown {
public:
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3_CALL terminate() = 0;
};
constexpr Uid kIPluginBaseIid{0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625};

class IBStream : public FUnknown {
public:
    enum : int32_t { kIBSeekSet = 0, kIBSeekCur, kIBSeekEnd };
    virtual tresult VST3_CALL read(void* buffer, int32_t numBytes, int32_t* numBytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, int32_t numBytes, int32_t* numBytesWritten) = 0;
    virtual tresult VST3_CALL seek(int64_t pos, int32_t mode, int64_t* result) = 0;
    virtual tresult VST3_CALL tell(int64_t* pos) = 0;
};
constexpr Uid kIBStreamIid{0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B};

// ---- Factory -----------------------------------------------------------------

struct PFactoryInfo {
    enum : int32_t { kUnicode = 1 << 4 };
    char vendor[64];
    char url[256];
    char email[128];
    int32_t flags;
};

struct PClassInfo {
    enum : int32_t { kManyInstances = 0x7FFFFFFF };
    TUID cid;
    int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    TUID cid;
    int32_t cardinality;
    char category[32];
    char name[64];
    uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    int32_t cardinality;
    char category[32];
    char16 name[64];
    uint32_t classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32_t VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(int32_t index, PClassInfo* info) = 0;
    virtual tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** object) = 0;
};
constexpr Uid kIPluginFactoryIid{0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3_CALL getClassInfo2(int32_t index, PClassInfo2* info) = 0;
};
constexpr Uid kIPluginFactory2Iid{0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3_CALL getClassInfoUnicode(int32_t index, PClassInfoW* info) = 0;
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;
};
constexpr Uid kIPluginFactory3Iid{0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931};

// ---- Component ---------------------------------------------------------------

enum MediaTypes : int32_t { kAudio = 0, kEvent };
enum BusDirections : int32_t { kInput = 0, kOutput };
enum BusTypes : int32_t { kMain = 0, kAux };

struct BusInfo {
    enum : uint32_t { kDefaultActive = 1 << 0 };
    int32_t mediaType;
    int32_t direction;
    int32_t channelCount;
    String128 name;
    int32_t busType;
    uint32_t flags;
};

struct RoutingInfo {
    int32_t mediaType;
    int32_t busIndex;
    int32_t channel;
};

class IComponent : public IPluginBase {
public:
    virtual tresult VST3_CALL getControllerClassId(TUID classId) = 0;
    virtual tresult VST3_CALL setIoMode(int32_t mode) = 0;
    virtual int32_t VST3_CALL getBusCount(int32_t type, int32_t dir) = 0;
    virtual tresult VST3_CALL getBusInfo(int32_t type, int32_t dir, int32_t index, BusInfo& bus) = 0;
    virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3_CALL activateBus(int32_t type, int32_t dir, int32_t index, TBool state) = 0;
    virtual tresult VST3_CALL setActive(TBool state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
};
constexpr Uid kIComponentIid{0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802};

// ---- Processing --------------------------------------------------------------

constexpr uint64_t kSpeakerL = 1 << 0, kSpeakerR = 1 << 1, kSpeakerM = 1 << 19;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR, kMono = kSpeakerM;

// The modifiers a key event carries (keycodes.h).
enum KeyModifier : int16_t { kShiftKey = 1 << 0, kAlternateKey = 1 << 1, kCommandKey = 1 << 2, kControlKey = 1 << 3 };

enum SymbolicSampleSizes : int32_t { kSample32 = 0, kSample64 };

struct ProcessSetup {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    float** channelBuffers32;  // with 64-bit samples, the same place holds double**
};

class IParamValueQueue : public FUnknown {
public:
    virtual ParamID VST3_CALL getParameterId() = 0;
    virtual int32_t VST3_CALL getPointCount() = 0;
    virtual tresult VST3_CALL getPoint(int32_t index, int32_t& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_CALL addPoint(int32_t sampleOffset, ParamValue value, int32_t& index) = 0;
};
constexpr Uid kIParamValueQueueIid{0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA};

class IParameterChanges : public FUnknown {
public:
    virtual int32_t VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3_CALL getParameterData(int32_t index) = 0;
    virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, int32_t& index) = 0;
};
constexpr Uid kIParameterChangesIid{0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D};

class IEventList;
struct ProcessContext;

struct ProcessData {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t numSamples;
    int32_t numInputs;
    int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32_t numIns,
                                                 SpeakerArrangement* outputs, int32_t numOuts) = 0;
    virtual tresult VST3_CALL getBusArrangement(int32_t dir, int32_t index, SpeakerArrangement& arr) = 0;
    virtual tresult VST3_CALL canProcessSampleSize(int32_t symbolicSampleSize) = 0;
    virtual uint32_t VST3_CALL getLatencySamples() = 0;
    virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult VST3_CALL process(ProcessData& data) = 0;
    virtual uint32_t VST3_CALL getTailSamples() = 0;
};
constexpr Uid kIAudioProcessorIid{0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D};

class IProcessContextRequirements : public FUnknown {
public:
    virtual uint32_t VST3_CALL getProcessContextRequirements() = 0;
};
constexpr Uid kIProcessContextRequirementsIid{0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0};

// ---- Edit controller ---------------------------------------------------------

struct ParameterInfo {
    enum : int32_t {
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32_t stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32_t flags;
};

enum RestartFlags : int32_t { kParamValuesChanged = 1 << 2, kMidiCCAssignmentChanged = 1 << 5 };

class IComponentHandler : public FUnknown {
public:
    virtual tresult VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult VST3_CALL restartComponent(int32_t flags) = 0;
};
constexpr Uid kIComponentHandlerIid{0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6};

class IPlugView;

class IEditController : public IPluginBase {
public:
    virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
    virtual int32_t VST3_CALL getParameterCount() = 0;
    virtual tresult VST3_CALL getParameterInfo(int32_t paramIndex, ParameterInfo& info) = 0;
    virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult VST3_CALL getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3_CALL createView(FIDString name) = 0;
};
constexpr Uid kIEditControllerIid{0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E};

class IMidiMapping : public FUnknown {
public:
    virtual tresult VST3_CALL getMidiControllerAssignment(int32_t busIndex, int16_t channel, int16_t midiControllerNumber,
                                                          ParamID& id) = 0;
};
constexpr Uid kIMidiMappingIid{0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5};

// ---- Units and program lists -------------------------------------------------

constexpr UnitID kRootUnitId = 0, kNoParentUnitId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32_t programCount;
};

class IUnitInfo : public FUnknown {
public:
    virtual int32_t VST3_CALL getUnitCount() = 0;
    virtual tresult VST3_CALL getUnitInfo(int32_t unitIndex, UnitInfo& info) = 0;
    virtual int32_t VST3_CALL getProgramListCount() = 0;
    virtual tresult VST3_CALL getProgramListInfo(int32_t listIndex, ProgramListInfo& info) = 0;
    virtual tresult VST3_CALL getProgramName(ProgramListID listId, int32_t programIndex, String128 name) = 0;
    virtual tresult VST3_CALL getProgramInfo(ProgramListID listId, int32_t programIndex, const char* attributeId,
                                             String128 attributeValue) = 0;
    virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32_t programIndex) = 0;
    virtual tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32_t programIndex, int16_t midiPitch,
                                                  String128 name) = 0;
    virtual UnitID VST3_CALL getSelectedUnit() = 0;
    virtual tresult VST3_CALL selectUnit(UnitID unitId) = 0;
    virtual tresult VST3_CALL getUnitByBus(int32_t type, int32_t dir, int32_t busIndex, int32_t channel,
                                           UnitID& unitId) = 0;
    virtual tresult VST3_CALL setUnitProgramData(int32_t listOrUnitId, int32_t programIndex, IBStream* data) = 0;
};
constexpr Uid kIUnitInfoIid{0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1};

// ---- Views -------------------------------------------------------------------

struct ViewRect {
    int32_t left, top, right, bottom;
};

constexpr const char* kPlatformTypeHWND = "HWND";
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
constexpr const char* kViewTypeEditor = "editor";

// The key numbers a host passes (the ones the editor uses).
enum VirtualKeyCodes : int16_t { KEY_BACK = 1, KEY_TAB = 2, KEY_RETURN = 4, KEY_ESCAPE = 6, KEY_SPACE = 7 };

class IPlugFrame;

class IPlugView : public FUnknown {
public:
    virtual tresult VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult VST3_CALL removed() = 0;
    virtual tresult VST3_CALL onWheel(float distance) = 0;
    virtual tresult VST3_CALL onKeyDown(char16 key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult VST3_CALL onKeyUp(char16 key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult VST3_CALL getSize(ViewRect* size) = 0;
    virtual tresult VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult VST3_CALL onFocus(TBool state) = 0;
    virtual tresult VST3_CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult VST3_CALL canResize() = 0;
    virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;
};
constexpr Uid kIPlugViewIid{0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29};

// The host's content scale for the view (on systems where the view cannot
// learn it itself); a view that takes it resizes through its frame.
class IPlugViewContentScaleSupport : public FUnknown {
public:
    virtual tresult VST3_CALL setContentScaleFactor(float factor) = 0;
};
constexpr Uid kIPlugViewContentScaleSupportIid{0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F};

class IPlugFrame : public FUnknown {
public:
    virtual tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
};
constexpr Uid kIPlugFrameIid{0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3};

// The host's run loop on Linux, asked of the view's frame.
class IEventHandler : public FUnknown {
public:
    virtual void VST3_CALL onFDIsSet(int fd) = 0;
};
constexpr Uid kIEventHandlerIid{0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983};

class ITimerHandler : public FUnknown {
public:
    virtual void VST3_CALL onTimer() = 0;
};
constexpr Uid kITimerHandlerIid{0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9};

class IRunLoop : public FUnknown {
public:
    virtual tresult VST3_CALL registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult VST3_CALL registerTimer(ITimerHandler* handler, uint64_t milliseconds) = 0;
    virtual tresult VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;
};
constexpr Uid kIRunLoopIid{0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389};

// The entry point every module exports.
using GetFactoryProc = IPluginFactory*(VST3_CALL*)();

}  // namespace vst3

// The layouts hosts expect on the 64-bit targets (both lay these records
// out alike: natural alignment, 8-byte pointers).
static_assert(sizeof(void*) == 8, "the VST 3 records are checked for 64-bit targets");
static_assert(sizeof(vst3::PFactoryInfo) == 452, "PFactoryInfo");
static_assert(sizeof(vst3::PClassInfo) == 116 && offsetof(vst3::PClassInfo, name) == 52, "PClassInfo");
static_assert(sizeof(vst3::PClassInfo2) == 440 && offsetof(vst3::PClassInfo2, classFlags) == 116 &&
                  offsetof(vst3::PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(sizeof(vst3::PClassInfoW) == 696 && offsetof(vst3::PClassInfoW, classFlags) == 180 &&
                  offsetof(vst3::PClassInfoW, vendor) == 312 && offsetof(vst3::PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");
static_assert(sizeof(vst3::BusInfo) == 276 && offsetof(vst3::BusInfo, busType) == 268, "BusInfo");
static_assert(sizeof(vst3::ProcessSetup) == 24 && offsetof(vst3::ProcessSetup, sampleRate) == 16, "ProcessSetup");
static_assert(sizeof(vst3::AudioBusBuffers) == 24 && offsetof(vst3::AudioBusBuffers, channelBuffers32) == 16,
              "AudioBusBuffers");
static_assert(sizeof(vst3::ProcessData) == 80 && offsetof(vst3::ProcessData, inputs) == 24 &&
                  offsetof(vst3::ProcessData, inputParameterChanges) == 40 &&
                  offsetof(vst3::ProcessData, processContext) == 72,
              "ProcessData");
static_assert(sizeof(vst3::ParameterInfo) == 792 && offsetof(vst3::ParameterInfo, stepCount) == 772 &&
                  offsetof(vst3::ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(vst3::ParameterInfo, flags) == 788,
              "ParameterInfo");
static_assert(sizeof(vst3::UnitInfo) == 268 && sizeof(vst3::ProgramListInfo) == 264, "unit records");
static_assert(sizeof(vst3::ViewRect) == 16, "ViewRect");
