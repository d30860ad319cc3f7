#!/usr/bin/perl
# Reads a table with libdbd-xbase-perl's XBase module: read_xbase.pl TABLE ENCODING -> JSON on
# stdout, in the forms of common.py (dates as YYYY-MM-DD, logicals as true/false/null).
use strict;
use warnings;
use Encode qw(decode);
use JSON::PP;
use XBase;

my ($file, $encoding) = @ARGV;
my $table = XBase->new($file) or die XBase->errstr;
my @names = $table->field_names;
my @types = $table->field_types;
my (@live, @deleted);
for my $n (0 .. $table->last_record) {
  my ($is_deleted, @values) = $table->get_record($n);
  die $table->errstr unless defined $is_deleted;
  my %row;
  for my $i (0 .. $#names) {
    my ($type, $value) = ($types[$i], $values[$i]);
    if (!defined $value) {
      $row{$names[$i]} = undef;
    } elsif ($type eq 'C' || $type eq 'M') {
      $value = decode($encoding, $value);
      $value =~ s/ +$// if $type eq 'C';
      $row{$names[$i]} = $value;
    } elsif ($type eq 'N' || $type eq 'F') {
      $row{$names[$i]} = $value eq '' ? undef : 0 + $value;
    } elsif ($type eq 'D') {
      $row{$names[$i]} = $value =~ /^(\d{4})(\d\d)(\d\d)$/ ? "$1-$2-$3" : undef;
    } elsif ($type eq 'L') {
      $row{$names[$i]} = $value ? JSON::PP::true : JSON::PP::false;
    } else {
      $row{$names[$i]} = $value;
    }
  }
  push @{$is_deleted ? \@deleted : \@live}, \%row;
}
print JSON::PP->new->utf8->canonical->encode({live => \@live, deleted => \@deleted}), "\n";
