#pragma once

#include <optional>

#include "platform/text.h"

namespace quellbo::net {

// The request's inputs, in the routine's parameter order, with their defaults.
struct WebRequestParams {
  Text url;                                // 1  absolute http or https URL
  int method = 0;                          // 2  index into the method table
  Text postText;                           // 3  body when postBytes is empty
  /* 4 sendCookies and 5 returnedCookies are in WebRequestInOut */
  Text extraHeaders;                       // 6  caller's header lines, CR LF separated
  /* 7 returnedHeaders is in WebRequestInOut */
  bool noRedirect = false;                 // 8
  Text userName;                           // 9
  Text password;                           // 10
  Text proxy;                              // 11 host:port, "" for none
  Text proxyUser;                          // 12
  Text proxyPassword;                      // 13
  int timeoutSeconds = 0;                  // 14 per phase; <= 0 means 30 s
  /* 15 location, 16 status, 17 responseBytes are in WebRequestInOut */
  std::optional<bool> autoMergeCookies;    // 18 true when not supplied
  std::optional<bool> addDefaultHeaders;   // 19 true when not supplied
  Bytes postBytes;                         // 20 wins over postText when not empty
  std::optional<bool> normalizeHeaders;    // 21 true when not supplied
};

// What the routine reads and writes back.
struct WebRequestInOut {
  Text sendCookies;       // 4  in/out: cookies to send; the merged cookies after
  Text returnedCookies;   // 5  in/out: cookies the response set, appended
  Text returnedHeaders;   // 7  out: status line and header lines
  Text location;          // 15 out: the last Location header
  Text status;            // 16 out: "200 OK" or a numbered failure text
  Bytes responseBytes;    // 17 out: the raw body
};

// One HTTP or HTTPS request; returns the body as Text (after the meta
// charset step), "" on failure with the failure text in io.status.
Text WebRequest(const WebRequestParams& params, WebRequestInOut& io);

// The header block the request sends: the caller's lines, the missing
// default lines, names normalised, the cookie line. CR LF separated.
Text requestHeaderBlock(const WebRequestParams& params, const Text& sendCookies);
// Milliseconds allowed to each phase (connect, a stall while sending, a
// stall while waiting or reading).
int requestTimeoutMs(int timeoutSeconds);

}  // namespace quellbo::net
