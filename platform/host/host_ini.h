// The program's private-profile port (IniFiles) over the host's files, for the
// native build and its tests.
#pragma once

#include "platform/host/host_files.h"
#include "platform/ini_files.h"

namespace nuv {

namespace detail {
struct HostFilesMember {
  HostFiles hostFiles;
};
}  // namespace detail

class HostIni : private detail::HostFilesMember, public IniFiles {
 public:
  HostIni() : IniFiles(hostFiles) {}
};

}  // namespace nuv
