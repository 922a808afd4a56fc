#include "driver/DeferredBinding.h"

#include "driver/DriverBinding.h"

namespace driver {

DeferredBinding::DeferredBinding(std::string library, std::string configurationPath)
    : library_(std::move(library)), configurationPath_(std::move(configurationPath))
{
}

DeferredBinding::~DeferredBinding() = default;

DriverBinding* DeferredBinding::get() const
{
    if (ended_)
        return nullptr;
    if (!binding_) {
        binding_ = std::make_unique<DriverBinding>(library_.c_str());
        binding_->ReadConfiguration(configurationPath_.c_str());
    }
    return binding_.get();
}

void DeferredBinding::reset()
{
    ended_ = true;
    binding_.reset();
}

DriverBinding* DeferredBinding::release()
{
    get();
    ended_ = true;
    return binding_.release();
}

} // namespace driver
