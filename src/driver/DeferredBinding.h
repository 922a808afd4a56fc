// The main window's driver binding, made when first reached: loading the driver library and
// reading the interface configuration would otherwise delay the window's first paint. Reached,
// it is DriverBinding(library) after ReadConfiguration(configurationPath).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace driver {

class DriverBinding;

class DeferredBinding {
public:
    DeferredBinding(std::string library, std::string configurationPath);
    ~DeferredBinding();
    DeferredBinding(const DeferredBinding&) = delete;
    DeferredBinding& operator=(const DeferredBinding&) = delete;

    // Makes the binding on the first call; nullptr once reset or released.
    DriverBinding* get() const;
    DriverBinding* operator->() const { return get(); }
    DriverBinding& operator*() const { return *get(); }
    // Whether there is a binding to reach, made or not yet.
    explicit operator bool() const { return !ended_; }
    bool operator==(std::nullptr_t) const { return ended_; }

    bool Made() const { return binding_ != nullptr; }
    // Destroys the binding if it was made (closing the card, unloading the driver); one never
    // made is not made for that.
    void reset();
    // Hands the binding over, made now if it was not yet.
    DriverBinding* release();

private:
    std::string library_;
    std::string configurationPath_;
    mutable std::unique_ptr<DriverBinding> binding_;
    bool ended_ = false;
};

} // namespace driver
