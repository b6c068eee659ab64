// The directory the tree and search-window benchmarks share: one node,
// ou=Big, with 100,000 (or 1,000,000) inetOrgPerson children of 7 attributes, served by one
// slapd without limits; and what their child processes share: a connection
// bound as the admin, a wall clock, and the two measurements run in turn.
#pragma once

#include "tests/support/SlapdServer.h"

#include <chrono>
#include <cstdint>
#include <string>

class OrnLdapService;

inline constexpr int kBigNodeChildren = 100000;
inline constexpr int kMillionChildren = 1000000;

std::string BigNodeDn();

// slapd with ou=Big holding `children` (kBigNodeChildren or
// kMillionChildren) children, the LDIF generated once and cached beside the
// program.
SlapdOptions BigNodeServerOptions(int children = kBigNodeChildren);

// Connects and binds as the admin; throws when it cannot.
void ConnectAsAdmin(OrnLdapService& service, const char* host, uint16_t port);

using WallClock = std::chrono::steady_clock;
double SecondsSince(WallClock::time_point start);

// The benchmark's two measurements, each in a child process of its own
// ("<self> --child <kind> 127.0.0.1 <port>", which prints its wall seconds),
// alternating `runs` times after one untimed warm-up of the second; prints
// the medians of wall time and peak RSS and their ratio.
void CompareInChildren(
    const std::string& self, uint16_t port, int runs, const char* const kinds[2], const char* const labels[2]);
