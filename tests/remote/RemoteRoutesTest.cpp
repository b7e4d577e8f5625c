// SPDX-License-Identifier: GPL-3.0-or-later
// docs/api/openapi.yaml against the route table: every route served is described with every status it may
// answer, and every route described is served.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "remote/RemoteApi.h"

namespace varnoth {
namespace {

// A route as the description has it: method in capitals, path.
using RouteKey = std::pair<std::string, std::string>;

std::string Text(const std::set<int>& statuses) {
    std::string text;
    for (const int status : statuses) {
        text += (text.empty() ? "" : " ") + std::to_string(status);
    }
    return text.empty() ? "none" : text;
}

// The statuses of each operation under "paths:". The description is ours and keeps one layout: a path two
// spaces in, its methods four, "responses:" six, each status eight, quoted.
std::map<RouteKey, std::set<int>> DescribedRoutes(const std::string& file, std::string& problem) {
    std::ifstream in(file);
    if (!in) {
        problem = "cannot read " + file;
        return {};
    }
    std::map<RouteKey, std::set<int>> routes;
    bool inPaths = false;
    bool inResponses = false;
    std::string path;
    std::string method;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || line[indent] == '#') {
            continue;
        }
        const std::string key = line.substr(indent, line.find(':', indent) - indent);
        if (indent == 0) {
            inPaths = key == "paths";
        } else if (!inPaths) {
            continue;
        } else if (indent == 2) {
            path = key;
            method.clear();
        } else if (indent == 4) {
            method = key;
            std::transform(method.begin(), method.end(), method.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            routes[{method, path}];
        } else if (indent == 6) {
            inResponses = key == "responses";
        } else if (indent == 8 && inResponses && !method.empty() && key.size() == 5 && key.front() == '"' &&
                   key.back() == '"') {
            routes[{method, path}].insert(std::stoi(key.substr(1, 3)));
        }
    }
    return routes;
}

TEST(RemoteRoutes, TheApiDescriptionNamesEveryRouteServedWithEveryStatusItAnswers) {
    std::string problem;
    const std::map<RouteKey, std::set<int>> described = DescribedRoutes(VARNOTH_OPENAPI, problem);
    ASSERT_TRUE(problem.empty()) << problem;
    ASSERT_FALSE(described.empty()) << "no routes read from " << VARNOTH_OPENAPI;

    std::set<RouteKey> served;
    for (const RemoteApi::Route& route : RemoteApi::Routes()) {
        if (route.handle == nullptr) {
            continue;
        }
        const RouteKey key{route.method, std::string(route.path)};
        served.insert(key);
        const auto found = described.find(key);
        if (found == described.end()) {
            ADD_FAILURE() << key.first << " " << key.second
                          << " is served but docs/api/openapi.yaml does not "
                          << "describe it";
            continue;
        }
        const std::vector<int> answers = route.Answers();
        const std::set<int> answered(answers.begin(), answers.end());
        std::set<int> missing;
        std::set<int> surplus;
        std::set_difference(answered.begin(), answered.end(), found->second.begin(), found->second.end(),
                            std::inserter(missing, missing.end()));
        std::set_difference(found->second.begin(), found->second.end(), answered.begin(), answered.end(),
                            std::inserter(surplus, surplus.end()));
        EXPECT_TRUE(missing.empty()) << key.first << " " << key.second << " may answer " << Text(missing)
                                     << ", which its description does not list";
        EXPECT_TRUE(surplus.empty()) << key.first << " " << key.second << " is described with "
                                     << Text(surplus) << ", which it never answers";
    }
    for (const auto& [key, statuses] : described) {
        EXPECT_TRUE(served.contains(key))
            << key.first << " " << key.second << " is described in docs/api/openapi.yaml but not served";
    }
}

}  // namespace
}  // namespace varnoth
