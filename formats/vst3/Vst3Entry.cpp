// The module's entry points: the factory every host asks for, which makes
// one class, the effect; and the load and unload calls each system's hosts
// make around it (ModuleEntry and ModuleExit on Linux, InitDll and ExitDll on
// Windows), which have nothing to set up.
#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>

#include "LibraryExport.h"
#include "SpeakerDescriptor.h"
#include "Vst3Identity.h"
#include "Vst3Interface.h"
#include "Vst3Parameters.h"
#include "Vst3Plugin.h"

namespace {

void copyText(char* to, size_t capacity, const char* text) { std::snprintf(to, capacity, "%s", text); }

void versionText(char* to, size_t capacity) {
    std::snprintf(to, capacity, "%d", static_cast<int>(kSpeakerIdentity.version));
}

// What every version of the class record holds alike; the later ones also
// name its subcategories.
template <class Record>
void describeClass(Record& info) {
    info = Record{};
    std::memcpy(info.cid, Vst3Plugin::kClassId.bytes, 16);
    info.cardinality = vst3::PClassInfo::kManyInstances;
    copyText(info.category, sizeof info.category, vst3identity::kProcessorCategory);
    if constexpr (!std::is_same_v<Record, vst3::PClassInfo>)
        copyText(info.subCategories, sizeof info.subCategories, vst3identity::kSubCategoryText);
}

class Factory : public vst3::IPluginFactory3 {
public:
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        if (!object) return vst3::kInvalidArgument;
        if (vst3::kFUnknownIid == iid || vst3::kIPluginFactoryIid == iid || vst3::kIPluginFactory2Iid == iid ||
            vst3::kIPluginFactory3Iid == iid) {
            *object = this;
            return vst3::kResultOk;
        }
        *object = nullptr;
        return vst3::kNoInterface;
    }
    // One factory for the module's lifetime: counting references changes nothing.
    uint32_t VST3_CALL addRef() override { return 1; }
    uint32_t VST3_CALL release() override { return 1; }

    vst3::tresult VST3_CALL getFactoryInfo(vst3::PFactoryInfo* info) override {
        if (!info) return vst3::kInvalidArgument;
        *info = vst3::PFactoryInfo{};
        copyText(info->vendor, sizeof info->vendor, kSpeakerIdentity.vendor);
        info->flags = vst3::PFactoryInfo::kUnicode;
        return vst3::kResultOk;
    }
    int32_t VST3_CALL countClasses() override { return 1; }
    vst3::tresult VST3_CALL getClassInfo(int32_t index, vst3::PClassInfo* info) override {
        if (index != 0 || !info) return vst3::kInvalidArgument;
        describeClass(*info);
        copyText(info->name, sizeof info->name, kSpeakerIdentity.name);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL getClassInfo2(int32_t index, vst3::PClassInfo2* info) override {
        if (index != 0 || !info) return vst3::kInvalidArgument;
        describeClass(*info);
        copyText(info->name, sizeof info->name, kSpeakerIdentity.name);
        copyText(info->vendor, sizeof info->vendor, kSpeakerIdentity.vendor);
        versionText(info->version, sizeof info->version);
        copyText(info->sdkVersion, sizeof info->sdkVersion, vst3identity::kSdkVersion);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL getClassInfoUnicode(int32_t index, vst3::PClassInfoW* info) override {
        if (index != 0 || !info) return vst3::kInvalidArgument;
        describeClass(*info);
        char version[64];
        versionText(version, sizeof version);
        vst3parameters::toUtf16(kSpeakerIdentity.name, info->name, 64);
        vst3parameters::toUtf16(kSpeakerIdentity.vendor, info->vendor, 64);
        vst3parameters::toUtf16(version, info->version, 64);
        vst3parameters::toUtf16(vst3identity::kSdkVersion, info->sdkVersion, 64);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL setHostContext(vst3::FUnknown*) override { return vst3::kResultOk; }

    // An instance of the effect, asked for by any interface it has.
    vst3::tresult VST3_CALL createInstance(vst3::FIDString cid, vst3::FIDString iid, void** object) override {
        if (!object) return vst3::kInvalidArgument;
        *object = nullptr;
        if (!(Vst3Plugin::kClassId == cid) || !iid) return vst3::kNoInterface;
        Vst3Plugin* plugin = new (std::nothrow) Vst3Plugin;
        if (!plugin) return vst3::kInternalError;
        const vst3::tresult result = plugin->queryInterface(iid, object);
        plugin->release();
        return result;
    }
};

Factory factory;

}  // namespace

HALVERN_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory() { return &factory; }

#if defined(_WIN32)
HALVERN_EXPORT bool InitDll() { return true; }
HALVERN_EXPORT bool ExitDll() { return true; }
#else
HALVERN_EXPORT bool ModuleEntry(void*) { return true; }
HALVERN_EXPORT bool ModuleExit() { return true; }
#endif
