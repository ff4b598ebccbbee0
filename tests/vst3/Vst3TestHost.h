// A VST 3 host of the tests' own, written on the plug-in's interface header:
// it loads the built module from its bundle through the entry points hosts
// call, makes instances through the factory, and offers the host objects a
// plug-in talks to (streams, parameter changes, a component handler that
// records what it is told, a view frame with a run loop).
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "PluginLibrary.h"
#include "Vst3Interface.h"

// Reference counting for the host's objects, which live on the test's stack:
// the plug-in may hold them while the test runs, never longer.
template <class Interface>
class HostObject : public Interface {
public:
    uint32_t VST3_CALL addRef() override { return ++references; }
    uint32_t VST3_CALL release() override { return --references; }
    uint32_t references = 1;

protected:
    vst3::tresult answer(const vst3::TUID iid, const vst3::Uid& own, void** object) {
        if (!object) return vst3::kInvalidArgument;
        if (vst3::kFUnknownIid == iid || own == iid) {
            addRef();
            *object = this;
            return vst3::kResultOk;
        }
        *object = nullptr;
        return vst3::kNoInterface;
    }
};

// The module, loaded and entered once per object.
class Vst3Module {
public:
    explicit Vst3Module(const std::string& path) : library(path) {
        if (!library.loaded()) return;
#if defined(_WIN32)
        auto enter = reinterpret_cast<bool (*)()>(library.symbol("InitDll"));
        entered = enter && enter();
        exitFunction = reinterpret_cast<bool (*)()>(library.symbol("ExitDll"));
#else
        auto enter = reinterpret_cast<bool (*)(void*)>(library.symbol("ModuleEntry"));
        entered = enter && enter(nullptr);
        exitFunction = reinterpret_cast<bool (*)()>(library.symbol("ModuleExit"));
#endif
        auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(library.symbol("GetPluginFactory"));
        if (entered && exitFunction && getFactory) factory = getFactory();
    }
    ~Vst3Module() {
        if (factory) factory->release();
        if (entered && exitFunction) exitFunction();
    }
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    // A new instance of the module's first class, as its component.
    vst3::IComponent* createComponent() {
        vst3::PClassInfo info{};
        if (!factory || factory->getClassInfo(0, &info) != vst3::kResultOk) return nullptr;
        void* object = nullptr;
        if (factory->createInstance(info.cid, vst3::kIComponentIid.bytes, &object) != vst3::kResultOk) return nullptr;
        return static_cast<vst3::IComponent*>(object);
    }

    template <class Interface>
    static Interface* ask(vst3::FUnknown* object, const vst3::Uid& iid) {
        void* answer = nullptr;
        if (!object || object->queryInterface(iid.bytes, &answer) != vst3::kResultOk) return nullptr;
        auto* typed = static_cast<Interface*>(answer);
        typed->release();  // the instance holds it; the test's own reference is enough
        return typed;
    }

    PluginLibrary library;
    bool entered = false;
    bool (*exitFunction)() = nullptr;
    vst3::IPluginFactory* factory = nullptr;
};

// A memory stream, read and written in small pieces as some hosts do.
class Vst3MemoryStream : public HostObject<vst3::IBStream> {
public:
    std::vector<uint8_t> bytes;
    size_t position = 0;
    int32_t chunk = 5;
    bool failing = false;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIBStreamIid, object);
    }
    vst3::tresult VST3_CALL read(void* buffer, int32_t numBytes, int32_t* numBytesRead) override {
        if (failing) return vst3::kResultFalse;
        const size_t n = std::min<size_t>({static_cast<size_t>(std::max(numBytes, 0)), static_cast<size_t>(chunk),
                                           bytes.size() - position});
        if (n > 0) std::memcpy(buffer, bytes.data() + position, n);
        position += n;
        if (numBytesRead) *numBytesRead = static_cast<int32_t>(n);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL write(void* buffer, int32_t numBytes, int32_t* numBytesWritten) override {
        if (failing) return vst3::kResultFalse;
        const int32_t n = std::min(std::max(numBytes, 0), chunk);
        bytes.insert(bytes.end(), static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + n);
        if (numBytesWritten) *numBytesWritten = n;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL seek(int64_t pos, int32_t mode, int64_t* result) override {
        const int64_t base = mode == kIBSeekCur ? static_cast<int64_t>(position)
                                                : mode == kIBSeekEnd ? static_cast<int64_t>(bytes.size()) : 0;
        position = static_cast<size_t>(std::clamp<int64_t>(base + pos, 0, static_cast<int64_t>(bytes.size())));
        if (result) *result = static_cast<int64_t>(position);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL tell(int64_t* pos) override {
        if (pos) *pos = static_cast<int64_t>(position);
        return vst3::kResultOk;
    }
};

// One parameter's points in a block.
class ValueQueue final : public HostObject<vst3::IParamValueQueue> {
public:
    explicit ValueQueue(vst3::ParamID id) : id(id) {}
    vst3::ParamID id;
    std::vector<std::pair<int32_t, double>> points;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIParamValueQueueIid, object);
    }
    vst3::ParamID VST3_CALL getParameterId() override { return id; }
    int32_t VST3_CALL getPointCount() override { return static_cast<int32_t>(points.size()); }
    vst3::tresult VST3_CALL getPoint(int32_t index, int32_t& offset, vst3::ParamValue& value) override {
        if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
        offset = points[static_cast<size_t>(index)].first;
        value = points[static_cast<size_t>(index)].second;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL addPoint(int32_t offset, vst3::ParamValue value, int32_t& index) override {
        index = getPointCount();
        points.push_back({offset, value});
        return vst3::kResultOk;
    }
};

// A block's parameter changes, either way.
class ParameterChanges : public HostObject<vst3::IParameterChanges> {
public:
    std::vector<ValueQueue> queues;  // reserved up front: the plug-in keeps pointers during a call

    ParameterChanges() { queues.reserve(64); }
    void add(vst3::ParamID id, int32_t offset, double value) {
        int32_t index = 0;
        addParameterData(id, index)->addPoint(offset, value, index);
    }
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIParameterChangesIid, object);
    }
    int32_t VST3_CALL getParameterCount() override { return static_cast<int32_t>(queues.size()); }
    vst3::IParamValueQueue* VST3_CALL getParameterData(int32_t index) override {
        return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t>(index)] : nullptr;
    }
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id, int32_t& index) override {
        for (size_t i = 0; i < queues.size(); ++i)
            if (queues[i].id == id) {
                index = static_cast<int32_t>(i);
                return &queues[i];
            }
        if (queues.size() == queues.capacity()) return nullptr;
        index = static_cast<int32_t>(queues.size());
        queues.emplace_back(id);
        return &queues.back();
    }
};

// What the edit controller tells its host.
class ComponentHandler : public HostObject<vst3::IComponentHandler> {
public:
    struct Edit {
        char kind;  // 'b' begin, 'p' perform, 'e' end
        vst3::ParamID id;
        double value;
    };
    std::vector<Edit> edits;
    std::vector<int32_t> restarts;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override {
        return answer(iid, vst3::kIComponentHandlerIid, object);
    }
    vst3::tresult VST3_CALL beginEdit(vst3::ParamID id) override { return record('b', id, 0.0); }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID id, vst3::ParamValue value) override {
        return record('p', id, value);
    }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID id) override { return record('e', id, 0.0); }
    vst3::tresult VST3_CALL restartComponent(int32_t flags) override {
        restarts.push_back(flags);
        return vst3::kResultOk;
    }
    // Whether the controller performed an edit of `id` to `value`.
    bool performed(vst3::ParamID id, double value) const {
        return std::any_of(edits.begin(), edits.end(),
                           [&](const Edit& e) { return e.kind == 'p' && e.id == id && e.value == value; });
    }

private:
    vst3::tresult record(char kind, vst3::ParamID id, double value) {
        edits.push_back({kind, id, value});
        return vst3::kResultOk;
    }
};

// A new instance, initialised, its controller handed a handler that records
// what it is told; terminated and released with this object.
class ControlledComponent {
public:
    explicit ControlledComponent(Vst3Module& module) : component(module.createComponent()) {
        if (!component) return;
        component->initialize(nullptr);
        controller = Vst3Module::ask<vst3::IEditController>(component, vst3::kIEditControllerIid);
        if (controller) controller->setComponentHandler(&handler);
    }
    ~ControlledComponent() {
        if (!component) return;
        component->terminate();
        component->release();
    }
    ControlledComponent(const ControlledComponent&) = delete;
    ControlledComponent& operator=(const ControlledComponent&) = delete;

    vst3::IComponent* component;
    vst3::IEditController* controller = nullptr;
    ComponentHandler handler;
};
