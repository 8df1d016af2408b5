-- The table of bench/convert, created in both databases of the run: the program's and the
-- native client's.
create table 基准 (
  id int identity(1,1) not null primary key,
  编号 int,
  大数 bigint,
  金额 decimal(18,4),
  日期 datetime,
  姓名 nvarchar(50),
  备注 varchar(100)
)
