#include "telescope/indi_input_guard.h"

namespace celes {

bool IndiInputGuard::Fail(const char* problem) {
    if (problem_.empty()) problem_ = problem;
    return false;
}

void IndiInputGuard::EndOfMessageIfOutermost() {
    if (depth_ != 0) return;
    messageBytes_ = 0;
    messageElements_ = 0;
}

bool IndiInputGuard::Feed(const char* data, std::size_t size) {
    if (!problem_.empty()) return false;
    total_ += size;
    if (!deviceReady_ && total_ > limits_.beforeDevice) return Fail("装置の定義までのデータが多すぎます");
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (depth_ > 0 || state_ != State::Text) ++messageBytes_;
        switch (state_) {
            case State::Text:
                if (c == '<') state_ = State::TagStart;
                break;
            case State::TagStart:
                if (c == '/') {
                    state_ = State::Close;
                } else if (c == '?' || c == '!') {
                    state_ = State::Other;  // a declaration or a comment: no element
                } else {
                    state_ = State::Open;
                    slashLast_ = false;
                    if (++messageElements_ > limits_.messageElements)
                        return Fail("一つのメッセージの要素が多すぎます");
                }
                break;
            case State::Open:
                if (c == '"' || c == '\'') {
                    quote_ = c;
                    state_ = State::Quoted;
                    slashLast_ = false;
                } else if (c == '>') {
                    state_ = State::Text;
                    if (slashLast_) {
                        EndOfMessageIfOutermost();  // <element/> holds nothing
                    } else if (++depth_ > limits_.depth) {
                        return Fail("XMLの入れ子が深すぎます");
                    }
                } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
                    slashLast_ = c == '/';
                }
                break;
            case State::Quoted:
                if (c == quote_) state_ = State::Open;
                break;
            case State::Close:
                if (c == '>') {
                    state_ = State::Text;
                    if (depth_ > 0) --depth_;
                    EndOfMessageIfOutermost();
                }
                break;
            case State::Other:
                if (c == '>') state_ = State::Text;
                break;
        }
        if (messageBytes_ > limits_.messageBytes) return Fail("一つのメッセージが大きすぎます");
    }
    return true;
}

}  // namespace celes
