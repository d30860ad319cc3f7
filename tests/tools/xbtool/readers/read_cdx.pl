#!/usr/bin/perl
# libdbd-xbase-perl's walk of one tag of a compound index file, in stored order.
#
#   read_cdx.pl FILE.CDX TAG C|N   -> JSON [[key, recno], ...]
use strict;
use warnings;
use JSON::PP;
use XBase::Index;

my ($file, $tag, $type) = @ARGV;
die "usage: read_cdx.pl FILE TAG C|N\n" unless defined $type;
my $index = XBase::Index->new($file, type => $type, tag => $tag) or die XBase::Index->errstr;
$index->prepare_select or die $index->errstr;
my @entries;
while (my @entry = $index->fetch) { push @entries, [$entry[0], $entry[1] + 0]; }
print JSON::PP->new->ascii->encode(\@entries), "\n";
