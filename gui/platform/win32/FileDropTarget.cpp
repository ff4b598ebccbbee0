#include "FileDropTarget.h"

#include <shlobj.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kNameSize = 1024;

FORMATETC formatOf(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool endsWithLnk(const char* name) {
    const char* dot = std::strrchr(name, '.');
    return dot && lstrcmpiA(dot, ".lnk") == 0;
}

}  // namespace

HRESULT STDMETHODCALLTYPE FileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FileDropTarget::AddRef() { return static_cast<ULONG>(++references); }

ULONG STDMETHODCALLTYPE FileDropTarget::Release() {
    const LONG left = --references;
    if (left <= 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    FORMATETC text = formatOf(CF_TEXT), files = formatOf(CF_HDROP);
    accepts = data->QueryGetData(&text) == S_OK || data->QueryGetData(&files) == S_OK;
    if (accepts) return DragOver(keyState, point, effect);
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
    if (!accepts)
        *effect = DROPEFFECT_NONE;
    else
        *effect = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragLeave() { return S_OK; }

// The source hears the effect of the drag so far only when a view took the
// drop; otherwise "none", so a source that honours moves keeps its data.
HRESULT STDMETHODCALLTYPE FileDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    bool taken = false;
    if (events) {
        STGMEDIUM medium{};
        FORMATETC text = formatOf(CF_TEXT), files = formatOf(CF_HDROP);
        if (data->GetData(&text, &medium) == S_OK) {
            if (medium.hGlobal) taken = dropText(medium.hGlobal);
            ReleaseStgMedium(&medium);
        } else if (data->GetData(&files, &medium) == S_OK) {
            if (medium.hGlobal) taken = dropFiles(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
    }
    if (taken)
        DragOver(keyState, point, effect);
    else
        *effect = DROPEFFECT_NONE;
    DragLeave();
    return S_OK;
}

bool FileDropTarget::dropText(HGLOBAL memory) {
    void* text = GlobalLock(memory);
    const SIZE_T size = GlobalSize(memory);
    bool taken = false;
    if (text && size) {
        void* items[1] = {text};
        taken = events->drop(items, static_cast<int>(size), platform::kDropText);
    }
    GlobalUnlock(memory);
    return taken;
}

bool FileDropTarget::dropFiles(HGLOBAL memory) {
    HDROP drop = static_cast<HDROP>(memory);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 0) return false;
    std::vector<std::vector<char>> names;
    for (UINT i = 0; i < count; ++i) {
        std::vector<char> name(kNameSize, 0);
        if (DragQueryFileA(drop, i, name.data(), kNameSize) == 0) continue;
        resolveShortcut(name.data(), kNameSize);
        names.push_back(std::move(name));
    }
    std::vector<void*> items;
    for (auto& name : names) items.push_back(name.data());
    return events->drop(items.data(), static_cast<int>(items.size()), platform::kDropFiles);
}

void FileDropTarget::resolveShortcut(char* name, int capacity) {
    if (!endsWithLnk(name)) return;
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return;
    IPersistFile* file = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
        WCHAR wide[MAX_PATH];
        // No user interface, any match, at most 500 ms (in the high word).
        const DWORD kResolveFlags = static_cast<DWORD>(SLR_NO_UI) | static_cast<DWORD>(SLR_ANY_MATCH) | (500u << 16);
        if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH) > 0 && file->Load(wide, STGM_READ) == S_OK &&
            link->Resolve(nullptr, kResolveFlags) == S_OK) {
            char target[kNameSize];
            if (link->GetPath(target, capacity < kNameSize ? capacity : kNameSize, nullptr, SLGP_SHORTPATH) == S_OK &&
                target[0])
                lstrcpynA(name, target, capacity);
        }
        file->Release();
    }
    link->Release();
}
