#pragma once
// An owned COM interface pointer: released exactly once, move-only.
#include <windows.h>

#include <utility>

namespace pictavo {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // For calls that hand the interface back through an out parameter.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // Takes another reference to an interface held elsewhere.
    void Share(T* p) {
        if (p) p->AddRef();
        Reset();
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

}  // namespace pictavo
