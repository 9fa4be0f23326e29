#pragma once

namespace quellbo::relay {

// "开始发单": relays the chosen sender's deals from the record file through
// the conversion into the chat window until stopped; returns when it ends.
void startRelay();
// "停止发单".
void stopRelay();

}  // namespace quellbo::relay
