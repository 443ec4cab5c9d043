#pragma once
// Routes what reaches the application's exception handler into a list while it lives.
#include "ui/Application.h"

#include <string>
#include <vector>

class TCaughtExceptions {
public:
    TCaughtExceptions() : previous_(Application->OnException)
    {
        Application->OnException = [this](TObject* sender, const std::exception& e) {
            senders.push_back(sender);
            messages.push_back(e.what());
        };
    }
    ~TCaughtExceptions() { Application->OnException = previous_; }
    TCaughtExceptions(const TCaughtExceptions&) = delete;
    TCaughtExceptions& operator=(const TCaughtExceptions&) = delete;

    std::vector<TObject*> senders;
    std::vector<std::string> messages;

private:
    TExceptionEvent previous_;
};
