// The generator's version. A grade and a seed (and so a date's daily level
// and a "#new=" link) give the same board for as long as this stays; any
// change that alters a level must raise it, on purpose, so that players
// and tests can tell which boards a build makes. tarno-gen prints it in
// each level's header.
#pragma once

namespace gen {

constexpr int GENERATOR_VERSION = 3;

}  // namespace gen
