// Whether an object outlived a wait. A handler that opens a modal box, a
// menu or a dialog lets every other command run meanwhile, the program's end
// included; afterwards it asks its watch before it touches anything again.
#pragma once

#include <memory>
#include <utility>

namespace lumora {

class LifeToken {
 public:
  class Watch {
   public:
    explicit Watch(std::weak_ptr<const char> life) : life_(std::move(life)) {}
    bool Alive() const noexcept { return !life_.expired(); }

   private:
    std::weak_ptr<const char> life_;
  };

  LifeToken() : life_(std::make_shared<const char>('\0')) {}
  LifeToken(const LifeToken&) = delete;
  LifeToken& operator=(const LifeToken&) = delete;

  Watch Observe() const { return Watch(life_); }

 private:
  std::shared_ptr<const char> life_;
};

}  // namespace lumora
