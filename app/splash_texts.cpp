#include "app/splash_texts.hpp"

namespace app {
namespace {

constexpr std::string_view kWelcome[] = {
    "Welcome to the Korvane Setup program.  This program will install Korvane on your "
    "computer.\r\n\n",
    "It is strongly recommended that you exit all Windows programs before running the Setup "
    "program.",
    kParagraph,
    "Click cancel to quit Setup and then close any programs you have running.  Click Next to "
    "continue with the Setup program.",
};

// The end-user licence agreement, one line of the product owner's text per piece.
constexpr std::string_view kLicence[] = {
    "KORVANE END-USER LICENSE AGREEMENT",
    kParagraph,
    "Please read this agreement carefully before you install Korvane.  By ",
    "installing, copying or otherwise using Korvane you accept all of its ",
    "terms.  If you do not accept them, click No: Setup will end and ",
    "nothing will be installed.",
    kParagraph,
    "Korvane, its site lists, its keyword lists and its documentation are ",
    "the property of Korvane Software and are protected by copyright law ",
    "and international treaties.  You are granted a licence to use them; ",
    "you do not acquire any right of ownership.",
    kParagraph,
    "Korvane Software grants you the right to use Korvane free of charge ",
    "on any number of computers, and to copy and redistribute it, provided ",
    "that you meet the following three conditions:",
    kParagraph,
    "1. You redistribute only complete and unmodified copies of Korvane ",
    "that you obtained from one of these sources: (a) the Korvane web ",
    "site; (b) a compact disc issued by Korvane Software; (c) an Internet ",
    "service provider authorised by Korvane Software to distribute it.",
    kParagraph,
    "2. You do not ask or accept any payment for Korvane beyond the cost ",
    "of the medium that carries it.",
    kParagraph,
    "3. Every copy you pass on carries this agreement and all copyright ",
    "notices unchanged.",
    kParagraph,
    "You may use Korvane only to block access to web sites and web pages. ",
    " You may not use the program, its site lists or its keyword lists for ",
    "any other purpose, and you may not publish, sell or extract the lists.",
    kParagraph,
    "Korvane is provided \"as is\", without warranty of any kind, express ",
    "or implied.  No filter blocks every objectionable site, and some ",
    "harmless sites may be blocked in error.  In no event shall Korvane ",
    "Software or its suppliers be liable for any damages whatsoever, ",
    "including loss of data, loss of profits or interruption of business, ",
    "arising out of the use of or the inability to use Korvane, even if ",
    "Korvane Software has been advised of the possibility of such damages.",
    kParagraph,
    "Korvane is a trademark of Korvane Software.  All rights not expressly ",
    "granted in this agreement are reserved by Korvane Software.",
    kParagraph,
    "Do you accept all the terms of this license agreement?  If you choose ",
    "No, Setup will close.  To install Korvane you must accept this ",
    "agreement.",
};

}  // namespace

std::span<const std::string_view> WelcomePieces() {
  return kWelcome;
}

std::span<const std::string_view> LicencePieces() {
  return kLicence;
}

}  // namespace app
