#!/usr/bin/perl
# Writes the fixture workbooks of a second, independent writer (Spreadsheet::WriteExcel):
#   perl_types.xls  numbers, Chinese and Latin text, dates as date cells, formulas with
#                   cached number / text / boolean / error results, formatted blank cells.
#   perl_dates_by_value.xls  date-times in date-only and time-only formats.
# Usage: make_fixtures.pl <output folder>
use strict;
use warnings;
use utf8;
use Spreadsheet::WriteExcel;

my $dir = shift or die "usage: $0 <dir>\n";

my $book = Spreadsheet::WriteExcel->new("$dir/perl_types.xls") or die "cannot create: $!";
my $sheet = $book->add_worksheet('Sheet1');
$book->add_worksheet('其他');
my $date = $book->add_format(num_format => 'yyyy-mm-dd');
my $datetime = $book->add_format(num_format => 'yyyy-mm-dd hh:mm:ss');
my $time = $book->add_format(num_format => 'hh:mm:ss');
my $grey = $book->add_format(bg_color => 'silver');

my @head = ('Id', '名称', 'Amount', 'Joined', 'Stamp', 'Clock', 'FNum', 'FText', 'FBool', 'FErr');
$sheet->write_string(0, $_, $head[$_]) for 0 .. $#head;
my @names = ('北京', 'Zürich', 'a, b', '中文和English', "quote\"d");
for my $i (1 .. 30) {
    $sheet->write_number($i, 0, $i);
    $sheet->write_string($i, 1, $names[$i % @names]) unless $i == 7;
    $sheet->write_number($i, 2, $i * 1.1) unless $i == 9;
    $sheet->write_date_time($i, 3, sprintf('2004-%02d-%02dT', ($i % 12) + 1, ($i % 28) + 1), $date);
    $sheet->write_date_time($i, 4, sprintf('1999-12-31T%02d:%02d:%02d', $i % 24, ($i * 7) % 60, ($i * 13) % 60), $datetime);
    $sheet->write_date_time($i, 5, sprintf('T%02d:%02d:%02d', ($i * 5) % 24, $i % 60, 30), $time);
    $sheet->write_formula($i, 6, "=A" . ($i + 1) . "*2", undef, $i * 2);
    # (Text results stay ASCII: WriteExcel 2.40 stores non-ASCII formula text as UTF-16BE,
    # which Excel and every reader take for other characters.)
    $sheet->write_formula($i, 7, '="x"&A' . ($i + 1), undef, ($i % 3 == 0) ? "text $i, long" : "x$i");
    $sheet->write_formula($i, 8, '=A' . ($i + 1) . '>15', undef, $i > 15 ? 'TRUE' : 'FALSE');
    $sheet->write_formula($i, 9, '=1/0', undef, '#DIV/0!');
}
# Formatted but empty cells below the data: not rows.
$sheet->write_blank($_, 0, $grey) for 31 .. 40;
$book->close() or die "cannot write perl_types.xls: $!";

# Date-times in date-only formats, dates in a time-only format (the value decides the text).
$book = Spreadsheet::WriteExcel->new("$dir/perl_dates_by_value.xls") or die "cannot create: $!";
$sheet = $book->add_worksheet('Sheet1');
my @formats = ('yyyy-mm-dd', 'd-mmm-yy', 'mm/dd/yy', 'h:mm', 'h:mm:ss');
$sheet->write_string(0, $_, "F$_") for 0 .. $#formats;
my @stamps = ('2010-04-25T17:42:32', '2006-12-15T18:48:00', '2004-02-29T', 'T09:30:15', '2001-01-01T00:00:01');
for my $c (0 .. $#formats) {
    my $f = $book->add_format(num_format => $formats[$c]);
    $sheet->write_date_time($_ + 1, $c, $stamps[$_], $f) for 0 .. $#stamps;
}
$book->close() or die "cannot write perl_dates_by_value.xls: $!";
