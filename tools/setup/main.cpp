#include <iostream>
#include <string>
#include <vector>

#include "tools/setup/setup_command.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return setup_tool::RunSetupCommand(arguments, std::cout, std::cerr);
}
