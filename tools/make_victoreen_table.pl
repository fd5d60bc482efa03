#!/usr/bin/perl
# Writes resources/Victoreen1.txt: absorption-edge energies (keV) and their wavelengths for
# H .. U. Edge energies come from the Elam tables of Debian's libxray-absorption-perl; a few
# rows are fixed by hand below and copied as they are. Victoreen C and D are "=" (no value)
# except in those rows. Run once by hand: the generated file is committed and the build does
# not need this script.
#   perl tools/make_victoreen_table.pl > resources/Victoreen1.txt
use strict;
use warnings;
use Xray::Absorption;

my $hc = 12.398424360387684;    # keV * Angstrom

my %fixedRows = (
    1  => 'H 1 = = 0.0127 0.00000466 = = = = = = = = = = = = = = =',
    26 => 'Fe 26 7.11326288 1.743 126 27.2 0.849 14.60355383 9.95 0.433 0.722 17.17232299 = = '
        . '0.709 17.48718928 = = = = =',
    29 => 'Cu 29 8.98436029 1.38 176 48.3 1.1 11.27128836 15.6 0.779 0.954 12.99624444 = = '
        . '0.935 13.26033925 = = = = =',
    92 => 'U 92 115.009 0.107803887 = = 21.762 0.569727838 = = 20.946 0.591922907 = = '
        . '17.158 0.722602704 = = = = =',
);

Xray::Absorption->load('elam');

sub number {
    my ($value, $digits) = @_;
    return '=' unless defined $value && $value > 0;
    return sprintf('%.*g', $digits, $value);
}

print "= Sym Z K lambdaK C1 D1 LI lambdaLI C2 D2 LII lambdaLII C3 D3 LIII lambdaLIII C4 D4 "
    . "M1 C5 D5\n";
for my $z (1 .. 92) {
    if (exists $fixedRows{$z}) {
        print "$fixedRows{$z}\n";
        next;
    }
    my $symbol = Xray::Absorption::get_symbol($z);
    my @fields = ($symbol, $z);
    for my $edge (qw(k l1 l2 l3)) {
        my $eV = Xray::Absorption->get_energy($z, $edge);
        my $keV = (defined $eV && $eV > 0) ? $eV / 1000.0 : 0;
        push @fields, number($keV, 8), ($keV > 0 ? number($hc / $keV, 9) : '='), '=', '=';
    }
    push @fields, '=', '=', '=';
    print join(' ', @fields), "\n";
}
