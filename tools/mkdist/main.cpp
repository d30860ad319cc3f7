#include <iostream>
#include <string>
#include <vector>

#include "tools/mkdist/mkdist_command.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return mkdist::RunMkdist(arguments, std::cout, std::cerr);
}
