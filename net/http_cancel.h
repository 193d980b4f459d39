// Ending the game's transfers at once as it closes: each transfer in flight registers how to wake
// it, and a cancel wakes them all and ends every wait between requests. Shared by the systems'
// HTTP clients; the rest of the game calls Http_CancelAll and Http_Wait (http_client.h).
#pragma once

#include <functional>

// A transfer's registration for as long as it lives: wake is called (from the cancelling thread)
// when the transfers are cancelled, at once if they are already.
class HttpWaker {
  public:
    explicit HttpWaker(std::function<void()> wake);
    ~HttpWaker();
    HttpWaker(const HttpWaker&) = delete;
    HttpWaker& operator=(const HttpWaker&) = delete;

  private:
    int id_;
};

// Whether the transfers are cancelled (until Http_Resume).
bool Http_Cancelled();
