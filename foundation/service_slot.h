// ServiceSlot: the installed implementation of a service that a lower layer calls upward, with a
// default that serves until a higher layer installs its own (and again after it uninstalls it).
#pragma once

template <class Service>
class ServiceSlot {
public:
    constexpr explicit ServiceSlot(Service* fallback) : fallback_(fallback), current_(fallback) {}

    // Installs the service (null restores the default); returns the one installed before.
    Service* Install(Service* service)
    {
        Service* previous = current_;
        current_ = service ? service : fallback_;
        return previous;
    }

    Service& Current() const { return *current_; }

private:
    Service* fallback_;
    Service* current_;
};
