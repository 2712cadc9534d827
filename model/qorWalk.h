// The steps of the dependency-ordered writer as coroutines.
//
// Writing an object first writes what it uses (or, for a drop, what uses
// it), and a chain of views or routines is as long as the database makes
// it: a walk that called itself once per edge would run out of thread stack
// on a long chain. So each step of the walk is a TWalk coroutine, and a step
// that needs another object written first awaits that object's step
// (`co_await target->WriteCreateWalk();`). RunWalk resumes the innermost
// waiting step from one loop: the chain lives in heap frames on a stack of
// its own, and the order of the statements is that of the plain recursion.
#pragma once

#include <coroutine>
#include <exception>
#include <utility>
#include <vector>

namespace qor {

class [[nodiscard]] TWalk {
 public:
  struct promise_type {
    // The step this one waits for, while it waits.
    std::coroutine_handle<promise_type> awaited;
    std::exception_ptr error;

    TWalk get_return_object() {
      return TWalk(std::coroutine_handle<promise_type>::from_promise(*this));
    }
    // Nothing runs before the loop resumes it.
    std::suspend_always initial_suspend() noexcept { return {}; }
    // The frame stays until its TWalk goes: the awaiting step reads its error.
    std::suspend_always final_suspend() noexcept { return {}; }
    void return_void() noexcept {}
    void unhandled_exception() noexcept { error = std::current_exception(); }
  };
  using Handle = std::coroutine_handle<promise_type>;

  TWalk(TWalk&& other) noexcept : h_(std::exchange(other.h_, {})) {}
  TWalk& operator=(TWalk&&) = delete;
  TWalk(const TWalk&) = delete;
  TWalk& operator=(const TWalk&) = delete;
  ~TWalk() {
    if (h_) h_.destroy();
  }

  // Awaiting a step hands it to the loop, which runs it before the awaiting
  // step goes on; its exception goes on in the awaiting step.
  bool await_ready() const noexcept { return !h_; }
  void await_suspend(Handle waiting) const noexcept { waiting.promise().awaited = h_; }
  void await_resume() const {
    if (h_ && h_.promise().error) std::rethrow_exception(h_.promise().error);
  }

  // Runs `walk` with every step it awaits to the end, on a stack of frames
  // that grows on the heap; its exception is thrown again here.
  friend void RunWalk(TWalk walk) {
    if (!walk.h_) return;
    std::vector<Handle> stack{walk.h_};
    while (!stack.empty()) {
      const Handle h = stack.back();
      h.promise().awaited = {};
      h.resume();
      if (h.done()) stack.pop_back();
      else stack.push_back(h.promise().awaited);
    }
    walk.await_resume();
  }

 private:
  explicit TWalk(Handle h) : h_(h) {}
  Handle h_;
};

void RunWalk(TWalk walk);

}  // namespace qor
