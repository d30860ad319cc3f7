#include <iostream>
#include <string>
#include <vector>

#include "tools/mkmachine/mkmachine_command.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return tools::RunMkmachine(arguments, std::cout, std::cerr);
}
