#!/usr/bin/perl
# libdbd-xbase-perl's walk of an NDX or NTX file, or of one tag of an MDX file, in stored order.
#
#   read_index.pl FILE '' C|N      -> JSON [[key, recno], ...]
#   read_index.pl FILE.MDX TAG C
use strict;
use warnings;
use JSON::PP;
use XBase::Index;

my ($file, $tag, $type) = @ARGV;
die "usage: read_index.pl FILE TAG C|N\n" unless defined $type;
my %options = (type => $type);
$options{'tag'} = $tag if $tag ne '';
my $index = XBase::Index->new($file, %options) or die XBase::Index->errstr;
$index->prepare_select or die $index->errstr;
my @entries;
while (my @entry = $index->fetch) { push @entries, [$entry[0], $entry[1] + 0]; }
print JSON::PP->new->ascii->encode(\@entries), "\n";
