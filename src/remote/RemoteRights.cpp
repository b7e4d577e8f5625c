// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteRights.h"

#include <algorithm>
#include <array>

namespace varnoth {
namespace {

// What the staff may turn: the four master volumes and the two input gains.
constexpr std::array<std::string_view, 6> kStaffParameters{
    "MicVol", "MusicVol", "CenterVol", "SubVol", "InputGain_Mic", "InputGain_Music",
};

struct RoleRights {
    RemoteRole role;
    const char* name;
    bool allParameters;
    bool loadMode;
    bool saveMode;
};

constexpr std::array<RoleRights, 2> kRoles{{
    {RemoteRole::Installer, "installer", true, true, true},
    {RemoteRole::Staff, "staff", false, true, false},
}};

const RoleRights& RightsOf(RemoteRole role) {
    return *std::find_if(kRoles.begin(), kRoles.end(), [&](const RoleRights& r) { return r.role == role; });
}

}  // namespace

bool RemoteRights::MayWrite(RemoteRole role, const ParameterRef& ref) {
    return RightsOf(role).allParameters ||
           std::find(kStaffParameters.begin(), kStaffParameters.end(), std::string_view(ref.param->name)) !=
               kStaffParameters.end();
}

bool RemoteRights::MayLoadMode(RemoteRole role) {
    return RightsOf(role).loadMode;
}

bool RemoteRights::MaySaveMode(RemoteRole role) {
    return RightsOf(role).saveMode;
}

const char* RemoteRights::Name(RemoteRole role) {
    return RightsOf(role).name;
}

}  // namespace varnoth
