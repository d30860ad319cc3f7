#include <iostream>
#include <string>
#include <vector>

#include "tools/xbtool/xbtool_command.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return tools::xbtool::RunXbtool(arguments, std::cout, std::cerr);
}
