// The control's list of loaded files: one display per RUV file, the content settings they all
// share, and the fan-out of the control's requests over the displays.
//
// Tree operations notify the control synchronously, and the control's host may call back in, even
// to remove the very file being rebuilt. So every fan-out runs over a snapshot of the displays, and
// a display is kept alive by the operation that runs on it. A fan-out reaches every file even when
// one fails, and raises the first failure when all have run.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "display/CorbEntities.h"
#include "display/FileTreeDisplay.h"
#include "platform/com/ComPtr.h"
#include "settings/TreeContentSettings.h"

struct IRUVFile;

// Runs body and hands back what it threw (null for nothing), for a caller that has more to do
// before it reports the failure.
template <typename Body>
std::exception_ptr FailureOf(Body body)
{
    try {
        body();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

class CTreeContents {
public:
    using SharedDisplayPtr = std::shared_ptr<CFileTreeDisplay>;
    // Makes the display of a file; the RUV display unless a test gives another.
    using DisplayFactory =
        std::function<SharedDisplayPtr(CMultiTree*, CTreeContentSettings*, platform::ComPtr<IRUVFile>)>;

    explicit CTreeContents(CMultiTree* pTree, DisplayFactory factory = nullptr);
    virtual ~CTreeContents();
    CTreeContents(const CTreeContents&) = delete;
    CTreeContents& operator=(const CTreeContents&) = delete;

    void AddFile(IRUVFile* file);
    void RemoveFile(IRUVFile* file);
    void Update(IUnknown* entity);
    IUnknown* GetEntity(HTREEITEM item) const;
    std::vector<HTREEITEM> GetItems(IUnknown* entity) const;
    bool IsTopItem(HTREEITEM item) const;
    void GetBrokenItems(CCorbEntities& target);
    CTreeContentSettings* GetSettings() { return &m_settings; }

    size_t GetFileCount() const { return m_displays.size(); }

private:
    using Key = std::uintptr_t;
    class Busy;
    static Key KeyOf(IRUVFile* file) { return reinterpret_cast<Key>(file); }
    // The displays in key order, each held for the caller's loop.
    std::vector<SharedDisplayPtr> Snapshot() const;
    bool IsListed(const CFileTreeDisplay* display) const;
    // Runs visit on every display still listed when its turn comes, busy while it runs.
    void ForEachDisplay(const std::function<void(CFileTreeDisplay&)>& visit);

    CMultiTree* m_pTree;
    std::map<Key, SharedDisplayPtr> m_displays;
    CTreeContentSettings m_settings;
    DisplayFactory m_factory;
    // Displays with an operation of the list running, and those removed meanwhile: their items
    // leave the tree when the operation is over.
    std::map<const CFileTreeDisplay*, int> m_busy;
    std::map<const CFileTreeDisplay*, SharedDisplayPtr> m_removedWhileBusy;
};
