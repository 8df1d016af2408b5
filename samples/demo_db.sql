-- The demo database "demo" of the SQL Server stand-in: tables with Chinese and English names
-- and columns of the SQL Server types the program maps. 员工 takes the rows of
-- samples/sample.xls. Batches are separated by GO lines.

create table [员工] (
  id int identity(1,1) not null primary key,
  编号 int,
  姓名 nvarchar(50),
  城市 nvarchar(100),
  入职日期 datetime,
  工资 decimal(10,2),
  Note varchar(200)
)
GO

create table Orders (
  OrderID int identity(1,1) not null primary key,
  Customer nvarchar(40) not null,
  OrderDate datetime,
  Amount money,
  Quantity smallint,
  Shipped bit,
  Note varchar(100)
)
GO

create table [产品] (
  产品编号 int not null,
  名称 nvarchar(50),
  单价 decimal(12,4),
  库存 int,
  上架日期 smalldatetime,
  条码 char(13),
  描述 ntext
)
GO

create table [各种类型] (
  整数 int,
  长整数 bigint,
  短整数 smallint,
  字节 tinyint,
  是否 bit,
  定点数 decimal(18,6),
  数值 numeric(10,3),
  金额 money,
  小金额 smallmoney,
  浮点 float,
  单精度 real,
  日期时间 datetime,
  短日期时间 smalldatetime,
  定长文本 char(10),
  文本 varchar(100),
  定长中文 nchar(10),
  中文 nvarchar(100),
  长文本 text,
  长中文 ntext,
  标识符 uniqueidentifier,
  定长二进制 binary(8),
  二进制 varbinary(100),
  图像 image,
  版本 timestamp,
  任意 sql_variant
)
GO

insert into Orders(Customer, OrderDate, Amount, Quantity, Shipped, Note) values
  (N'北京贸易公司', '2004-01-05T09:30:00', 1280.50, 3, 1, 'first order'),
  (N'Shanghai Trading', '2004-02-11T14:00:00', 99.9, 1, 0, NULL),
  (N'广州进出口', '2004-03-20T00:00:00', 45000, 120, 1, 'bulk')
GO

insert into [产品](产品编号, 名称, 单价, 库存, 上架日期, 条码, 描述) values
  (1001, N'钢笔', 12.5, 300, '2004-01-01 08:00', '6901234567892', N'黑色墨水'),
  (1002, N'笔记本', 3.2, 1200, '2004-01-15 08:00', '6901234567908', N'A5, 80页')
GO
