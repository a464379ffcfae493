#pragma once
// Data that list rows and tree nodes own: any type per item, released when
// the item goes (deleted, cleared, or its window destroyed). The control
// keeps the raw pointer in the item; the store keeps ownership and the type,
// so reading it back as another type gives null instead of garbage.
#include <windows.h>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

namespace tk {

class ItemStore {
public:
    ItemStore() = default;
    ~ItemStore() { Clear(); }
    ItemStore(const ItemStore&) = delete;
    ItemStore& operator=(const ItemStore&) = delete;

    // Takes ownership; returns the key the item carries (0 for no data).
    template <typename T>
    LPARAM Keep(std::unique_ptr<T> value)
    {
        if (!value)
            return 0;
        T* raw = value.release();
        entries_.emplace(static_cast<void*>(raw), Entry{typeid(T), [](void* p) { delete static_cast<T*>(p); }});
        return reinterpret_cast<LPARAM>(raw);
    }

    template <typename T>
    T* As(LPARAM key) const
    {
        auto found = entries_.find(reinterpret_cast<void*>(key));
        if (found == entries_.end() || found->second.type != std::type_index(typeid(T)))
            return nullptr;
        return static_cast<T*>(found->first);
    }

    void Release(LPARAM key)
    {
        auto found = entries_.find(reinterpret_cast<void*>(key));
        if (found == entries_.end())
            return;
        Entry entry = found->second;
        void* object = found->first;
        entries_.erase(found);
        entry.destroy(object);
    }

    void Clear()
    {
        // Destructors may look at the store; empty it first.
        auto entries = std::move(entries_);
        entries_.clear();
        for (auto& [object, entry] : entries)
            entry.destroy(object);
    }

    size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::type_index type;
        void (*destroy)(void*);
    };
    std::unordered_map<void*, Entry> entries_;
};

}  // namespace tk
