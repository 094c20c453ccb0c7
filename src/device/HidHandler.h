#pragma once
// A handler slot: a callable that may be empty. Copies of one handler compare
// equal, so a controller can tell whether a device still holds the handler it
// was given.

#include <concepts>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

template <typename Signature> class HidHandler;

template <typename R, typename... Args> class HidHandler<R(Args...)> {
public:
    HidHandler() = default;
    HidHandler(std::nullptr_t) {}
    template <typename F>
    requires(!std::same_as<std::decay_t<F>, HidHandler> &&
             !std::same_as<std::decay_t<F>, std::nullptr_t> && std::invocable<F&, Args...>)
        HidHandler(F&& f)
        : fn_(std::make_shared<const std::function<R(Args...)>>(std::forward<F>(f))) {}

    explicit operator bool() const { return fn_ != nullptr; }
    R operator()(Args... args) const { return (*fn_)(std::forward<Args>(args)...); }
    bool operator==(const HidHandler& other) const { return fn_ == other.fn_; }

private:
    std::shared_ptr<const std::function<R(Args...)>> fn_;
};
